// Header fields: branch, warehouse, currency, date and customer, and the delivery address.
#include "db/Connection.h"
#include "host/services/CreditoCliente.h"
#include "host/services/DomicilioEntrega.h"
#include "host/services/Permisos.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

namespace tesmira::vn003 {

void frmVN003::txt_Sc_Cve_Sucursal_Change()
{
    const std::string sucursal = db::quoted(txt_Sc_Cve_Sucursal.value().toString());
    txt_Al_Cve_Almacen.lookupQuery =
        "SELECT Al_Cve_Almacen As CLAVE, Al_Descripcion AS DESCRIPCION FROM Almacen WHERE Sc_Cve_Sucursal = '" +
        sucursal + "' AND Es_Cve_Estado <> 'BA'";
    txt_Al_Cve_Almacen.sql =
        "SELECT Al_Descripcion FROM Almacen WHERE Al_Cve_Almacen = '?' AND Sc_Cve_Sucursal = '" + sucursal + "'";
    txt_Al_Cve_Almacen.sqlControlResultado = "txt_Al_Descripcion";
    txt_Fc_Factura.setBranch("");
}

void frmVN003::txt_Sc_Cve_Sucursal_Enter() { txt_Fc_Factura.setBranch(txt_Sc_Cve_Sucursal.text()); }

void frmVN003::txt_Al_Cve_Almacen_Change()
{
    Manejo = ManejoAlmacen{};
    txtSalida.setEnabled(false);
    txtSalida.setText("");
}

void frmVN003::LeeManejoAlmacen()
{
    const std::string& sucursal = txt_Sc_Cve_Sucursal.text();
    const std::string& almacen = txt_Al_Cve_Almacen.text();
    Manejo.ManejaTalla = Permisos->ManejaTalla(sucursal, almacen);
    Manejo.ManejaColor = Permisos->ManejaColor(sucursal, almacen);
    Manejo.ManejaLote = Permisos->ManejaLote(sucursal, almacen);
    Manejo.ManejaSerie = Permisos->ManejaSerie(sucursal, almacen);
    Manejo.ManejaUbicacion = Permisos->ManejaUbicacion(sucursal, almacen);
}

void frmVN003::txt_Al_Cve_Almacen_Enter()
{
    if (!Controles.ModoNuevo())
        return;
    LeeManejoAlmacen();

    if (Manejo.ManejaUbicacion) {
        if (!txt_Al_Cve_Almacen.text().empty())
            txtSalida.setEnabled(true);
        ssDetalle.col("VALIDA_DISPONIBILIDAD").setVisible(false);
        ssDetalle.col("Ubicacion").setLocked(false);
        ssDetalle.col("Ubicacion").setVisible(true);
        return;
    }
    txtSalida.setEnabled(false);
    ssDetalle.col("Ubicacion").setLocked(true);
    ssDetalle.col("Ubicacion").setVisible(false);
    if (Derechos.DerechoVNDISP)
        ssDetalle.col("VALIDA_DISPONIBILIDAD").setVisible(true);
}

void frmVN003::txt_Al_Cve_Almacen_LostFocus()
{
    // With VNDISP each line keeps the stock warehouse chosen for it.
    if (Derechos.DerechoVNDISP || ssDetalle.rowCount() == 0)
        return;
    ssDetalle.moveFirst();
    for (int i = 0; i < ssDetalle.rowCount(); ++i) {
        ssDetalle.col("Rm_Almacen_Inventario").setValue(txt_Al_Cve_Almacen.text());
        ssDetalle.moveNext();
    }
    ssDetalle.moveFirst();
}

void frmVN003::txt_Mn_Cve_Moneda_Change()
{
    txt_Rm_Tipo_Cambio.setText("0");
    txt_Rm_Tipo_Cambio.setEnabled(false);
    for (TextField* moneda : txtMoneda)
        moneda->setText(txt_Mn_Cve_Moneda.text());
}

void frmVN003::txt_Mn_Cve_Moneda_Enter()
{
    if (!Controles.ModoNuevo())
        return;
    txt_Rm_Tipo_Cambio.setValue(Utilerias().TipoCambio(txt_Mn_Cve_Moneda.text(), dpFecha.value()));
    txt_Rm_Tipo_Cambio.setEnabled(txt_Mn_Cve_Moneda.text() != txtMonedaLocal.text() && !Derechos.DerechoCHTC01);
}

void frmVN003::txt_Mn_Cve_Moneda_LostFocus() { txt_Mn_Cve_Moneda_Enter(); }

void frmVN003::dpFecha_Change()
{
    txt_Rm_Tipo_Cambio.setValue(Utilerias().TipoCambio(txt_Mn_Cve_Moneda.text(), dpFecha.value()));
}

void frmVN003::txtCliente_Enter()
{
    try {
        TextoSQL = "SELECT * FROM Cliente WHERE Cl_Cve_Cliente = '" + db::quoted(txtCliente.value().toString()) + "'";
        db::Recordset rs = Sistema().Conexion().Execute(TextoSQL);
        if (rs.Eof()) {
            rs.Close();
            return;
        }
        const std::string cliente = txtCliente.text();
        {
            host::DomicilioEntrega domicilio(Sistema().entorno());
            IdDomicilioEntrega = domicilio.DomicilioDocumento("PEDIDO", txt_Pd_Folio.text(), "Cliente", cliente);
            if (IdDomicilioEntrega == "0000")
                IdDomicilioEntrega = domicilio.DomicilioPredeterminado("Cliente", cliente, "0000");
            if (!IdDomicilioEntrega.empty())
                txt_Cl_Direccion_1.setText(Direccion_Entrega(IdDomicilioEntrega, cliente));
        }
        host::CreditoCliente credito(Sistema().entorno());
        txtNCliente.setText(rs.Fields("Cl_Descripcion").toString());
        txt_Cl_Razon_Social_1.setText(rs.Fields("Cl_Razon_Social_1").toString());
        txt_Cl_R_F_C.setText(rs.Fields("Cl_R_F_C").toString());
        txt_Sg_Descripcion.setText(Utilerias().BuscaDato("Segmento", "Sg_Cve_Segmento",
                                                         rs.Fields("Sg_Cve_Segmento").toString(), "Sg_Descripcion",
                                                         false, "", "", "BA"));
        txt_Rt_Descripcion.setText(Utilerias().BuscaDato("Ruta", "Rt_Cve_Ruta", rs.Fields("Rt_Cve_Ruta").toString(),
                                                         "Rt_Descripcion", false, "", "", "BA"));
        txt_Cl_Dias_Credito.setText(rs.Fields("Cl_Dias_Credito").toString());
        txt_Credito_Disponible.setValue(credito.CreditoDisponible(cliente, false));
        rs.Close();
    } catch (const std::exception& e) {
        ReportaError("txtCliente_Enter()", "ERR-ID:7500035", e.what(), "txtCliente_Enter()");
    }
}

std::string frmVN003::Direccion_Entrega(const std::string& id, const std::string& cliente)
{
    try {
        TextoSQL.clear();
        TextoSQL += "SELECT ";
        TextoSQL += "CASE De_Direccion_1 WHEN '' THEN ";
        TextoSQL += "   De_Calle + ' ' + De_Numero_Interior + ' ' + De_Numero_Exterior +' '+ De_Cruzamiento_1 +' ' + "
                    "De_Cruzamiento_2 ";
        TextoSQL += "ELSE De_Direccion_1 END AS Domicilio ";
        TextoSQL += "From Direccion_Entrega ";
        TextoSQL += "WHERE De_Tabla = 'CLIENTE' AND ";
        TextoSQL += "De_Documento = '" + db::quoted(cliente) + "' AND ";
        TextoSQL += "De_ID = '" + db::quoted(id) + "' ";
        db::Recordset rs = Sistema().Conexion().Execute(TextoSQL);
        if (rs.Eof()) {
            rs.Close();
            return "";
        }
        std::string domicilio = rs.Fields("Domicilio").toString();
        rs.Close();
        return domicilio;
    } catch (const std::exception& e) {
        ReportaError("Direccion_Entrega()", "ERR-ID:7500037", e.what(), "Direccion_Entrega()");
        return "";
    }
}

} // namespace tesmira::vn003

// Calling up a saved delivery note by its folio: the header, whether it may still be
// cancelled, and one grid row per stored line.
#include "base/VbConstants.h"
#include "db/Connection.h"
#include "host/services/DomicilioEntrega.h"
#include "host/services/Lotes.h"
#include "host/services/Padre.h"
#include "host/services/Permisos.h"
#include "host/services/Series.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"
#include "vn003/shell/AvanceCarga.h"
#include "vn003/loading/Catalogo.h"
#include "vn003/persist/Bloqueo.h"

#include <cassert>

namespace tesmira::vn003 {

namespace {

const char* const AccesoRestringido = "para mayor información consulte al administrador del sistema";

// False (warned) when the user is bound to a branch or warehouse (`propio`) other than the note's.
bool Accesible(const std::string& propio, const db::Recordset& rs, const char* campo, const std::string& donde)
{
    if (propio.empty() || propio == rs.Fields(campo).toString())
        return true;
    Sistema().Aviso("Imposible accesar este documento, su acceso se ha restringido " + donde + "\r\n" + "\r\n" +
                        AccesoRestringido,
                    vb::vbExclamation, "Documento no disponible");
    return false;
}

// A user bound to one branch or warehouse sees only its notes.
bool AccesoPermitido(frmVN003& f, const db::Recordset& rs)
{
    return Accesible(Sistema().SucursalUsuario(), rs, "Sc_Cve_Sucursal",
                     "a la sucursal: " + f.txt_Sc_Cve_Sucursal.text()) &&
           Accesible(Sistema().AlmacenUsuario(), rs, "Al_Cve_Almacen", "al almacén: " + f.txt_Al_Cve_Almacen.text());
}

// The toolbar's document options: Modificar and Eliminar only for an active note, not invoiced,
// without a live sale, in an open period. An invoiced note shows its invoice.
void HabilitaOpcionesDocumento(frmVN003& f, const db::Recordset& rs)
{
    const std::string facturado = rs.Fields("Rm_Facturado").toString();
    f.TextoSQL = "SELECT TOP 1 Vn_Folio, isnull((SELECT top 1Fc_Factura";
    f.TextoSQL += " FROM Factura WHERE Factura.Es_Cve_Estado <> 'CA' AND ";
    f.TextoSQL += "    Factura.Fc_Tabla = 'VENTA' AND";
    f.TextoSQL += "          Factura.Fc_Documento = Vn_Folio),'') as FC FROM Venta ";
    f.TextoSQL += "WHERE Vn_Tabla = 'REMISION' AND ";
    f.TextoSQL += "   Es_Cve_Estado <> 'CA' AND ";
    f.TextoSQL += "   Vn_Documento = '" + db::quoted(f.txtFolio.text()) + "' ";
    db::Recordset venta = Sistema().Conexion().Execute(f.TextoSQL);
    const bool ventaViva = !venta.Eof();
    if (ventaViva && facturado == "SI") {
        f.chkFacturar.setValue(CheckBox::Checked);
        f.txt_Fc_Factura.setFolio(venta.Fields("FC").toString());
    }
    venta.Close();

    if (rs.Fields("Es_Cve_Estado").toString() == "AC" && facturado == "NO" && !ventaViva) {
        bool periodoAbierto = true;
        if (Sistema().ParametroValor("GEN_VALIDAR_PERIODO_OPERATIVO", 0, "", "").toBool()) {
            assert(f.Padre() && "the host hands in its calling object before showing the screen");
            // The note's own date: the date field is filled from the note further down.
            periodoAbierto = Utilerias().PeriodoAbierto(rs.Fields("Rm_Fecha").toDate(), f.Padre()->Modulo(), 0);
        }
        if (periodoAbierto) {
            f.Controles.setOpcionDocumento4(true);
            f.Controles.setOpcionDocumento3(true);
        }
    }

    f.Controles.setOpcionDocumento1(true);
    f.Controles.setOpcionDocumento2(true);
    f.Controles.setClaveDocumento(f.txtFolio.text());
    f.Controles.CargaCamposAdicionales(f.txtFolio.text());
}

// The note's header fields; typing them raises their change events, as the user's typing would.
void CargaEncabezadoRemision(frmVN003& f, const db::Recordset& rs)
{
    f.dpFecha.setValue(rs.Fields("Rm_Fecha").toDate());
    f.txtReferencia.setText(rs.Fields("Rm_Referencia").toString());
    f.txt_Pd_Folio.setText(rs.Fields("Rm_Documento").toString());
    f.txt_Sc_Cve_Sucursal.setText(rs.Fields("Sc_Cve_Sucursal").toString());
    f.txt_Al_Cve_Almacen.setText(rs.Fields("Al_Cve_Almacen").toString());
    f.txtCliente.setText(rs.Fields("Cl_Cve_Cliente").toString());
    f.txtCliente_Enter();
    f.txtVendedor.setText(rs.Fields("Vn_Cve_Vendedor").toString());
    f.txt_Comentario.setText(rs.Fields("Rm_Comentario").toString());
    f.txt_Mn_Cve_Moneda.setText(rs.Fields("Mn_Cve_Moneda").toString());
    f.txt_Rm_Tipo_Cambio.setValue(rs.Fields("Rm_Tipo_Cambio"));
    f.chSinCargo.setValue(rs.Fields("Rm_Sin_Cargo").toString() == "SI" ? CheckBox::Checked : CheckBox::Unchecked);
    f.txtCondicionVenta.setText(rs.Fields("Rm_Condicion_Venta").toString());
}

// A warehouse with locations shows the location column instead of the availability button.
void MuestraColumnaUbicacion(frmVN003& f)
{
    Grid& g = f.ssDetalle;
    if (f.Manejo.ManejaUbicacion) {
        g.col("Ubicacion").setLocked(false);
        g.col("Ubicacion").setVisible(true);
        g.col("VALIDA_DISPONIBILIDAD").setVisible(false);
        return;
    }
    g.col("Ubicacion").setLocked(true);
    g.col("Ubicacion").setVisible(false);
    if (f.Derechos.DerechoVNDISP)
        g.col("VALIDA_DISPONIBILIDAD").setVisible(true);
}

} // namespace

void frmVN003::txtFolio_Change()
{
    Controles.setClaveDocumento("");
    if (Controles.ModoNuevo())
        return;
    for (int n = 4; n >= 1; --n)
        Controles.setOpcionDocumento(n, false);
    Utilerias().LimpiaControles(*this, 1);
    IdDomicilioEntrega.clear();
    SeleccionaPestana(0);
    txtSalida.setText("");
    FolioSalidaRemision.clear();
    MostrarSalidaPropia = false;
    VersionRemision.clear();
    ssDetalle.col("Ubicacion").setVisible(false);
    ssDetalle.col("Ubicacion").setLocked(true);
}

void frmVN003::txtFolio_Enter()
{
    if (txtFolio.text().empty() || Controles.ModoNuevo())
        return;
    try {
        // Catalogue look-ups repeated line after line are answered once for the whole recall.
        db::Connection::MemoScope memo(Sistema().Conexion());
        txtFolio.setText(Utilerias().FormatoFolio(txtFolio.text()));
        txtFolio.refresh();

        host::Lotes lotes(Sistema().entorno());
        host::Series series(Sistema().entorno());

        TextoSQL = "SELECT * FROM Remision WHERE Rm_Folio = '" + db::quoted(txtFolio.value().toString()) +
                   "' and Rm_Tabla = 'PEDIDO' ";
        db::Recordset rs = Sistema().Conexion().Execute(TextoSQL);
        if (rs.Eof())
            return;
        VersionRemision = bloqueo::versionRemision(txtFolio.value().toString());
        if (!AccesoPermitido(*this, rs)) {
            rs.Close();
            txtFolio.refresh();
            return;
        }

        HabilitaOpcionesDocumento(*this, rs);
        CargaEncabezadoRemision(*this, rs);
        LeeManejoAlmacen();
        MuestraColumnaUbicacion(*this);

        FolioSalidaRemision = Utilerias().BuscaDato("Remision_Encabezado", "Rm_Folio",
                                                    rs.Fields("Rm_Folio").toString(), "Rm_PDA_Salida", false, "", "",
                                                    "");
        MostrarSalidaPropia = true;
        txtSalida.setText(FolioSalidaRemision);

        txtDescuento_Global.setValue(rs.Fields("Rm_Descuento_Global_Factor").toDouble() * 100);

        ssDetalle.removeAll();
        ssDetalle.allowAddNew = false;
        ssDetalle.col("Pr_Cve_Producto").setLocked(true);
        ConsultaProductosPedido.clear();

        {
            host::DomicilioEntrega domicilio(Sistema().entorno());
            IdDomicilioEntrega =
                domicilio.DomicilioDocumento("Remision", txtFolio.text(), "Cliente", txtCliente.text());
        }

        Frame_Carga("Remision", txtFolio.text());

        CatalogoCarga catalogo = CatalogoCarga::deRemision(txtFolio.text());
        rs.MoveFirst();
        for (AvanceCarga avance(rs, ssDetalle); !rs.Eof() && avance(); rs.MoveNext())
            CargaPartidaRemision(rs, txtFolio.text(), lotes, series, catalogo);

        rs.Close();
        // Part of a note on screen would pass for the saved one.
        if (Sistema().Progreso().Detenido()) {
            Controles.press(forms::Command::Limpiar);
            return;
        }
        ssDetalle.moveFirst();
    } catch (const std::exception& e) {
        ReportaError("txtFolio_Enter()", "ERR-ID:7500036", e.what(), "Tesmira");
    }
}

void frmVN003::CargaPartidaRemision(const db::Recordset& rs, const std::string& folio, host::Lotes& lotes,
                                    host::Series& series, CatalogoCarga& catalogo)
{
    Grid& g = ssDetalle;
    const auto campo = [&rs](const char* nombre) { return rs.Fields(nombre); };
    const auto numero = [&g](const char* columna) { return g.col(columna).value().toDouble(); };
    const std::string id = campo("Rm_ID").toString();

    g.addRow();
    g.col("Rm_Sucursal_Inventario").setValue(campo("Rm_Sucursal_Inventario"));
    g.col("Rm_Almacen_Inventario").setValue(campo("Rm_Almacen_Inventario"));
    g.col("Documento_Id").setValue(id);
    g.col("Pr_Cve_Producto").setValue(campo("Pr_Cve_Producto"));
    // A product deleted since the note was saved has no row: this read fails and ends the load.
    const std::vector<Value> producto = catalogo.productoRemision(id, campo("Pr_Cve_Producto").toString());
    g.col("Pr_Descripcion").setValue(producto[0]);
    g.col("Tl_Cve_Talla").setValue(campo("Tl_Cve_Talla"));
    g.col("Cl_Cve_Color").setValue(campo("Cl_Cve_Color"));
    g.col("Tl_Descripcion").setValue(catalogo.descripcionTalla(g.col("Tl_Cve_Talla").value().toString()));
    g.col("Cl_Descripcion").setValue(catalogo.descripcionColor(g.col("Cl_Cve_Color").value().toString()));

    g.col("Ubicacion").setValue(campo("Rm_Ubicacion"));
    g.col("Pr_Manejar_Talla").setValue(producto[1]);
    g.col("Pr_Manejar_Color").setValue(producto[2]);
    g.col("Cantidad_1").setValue(campo("Rm_Cantidad_1"));
    g.col("Unidad_1").setValue(campo("Rm_Unidad_1"));
    g.col("Cantidad_Control_1").setValue(campo("Rm_Cantidad_Control_1"));
    g.col("Unidad_Control_1").setValue(campo("Rm_Unidad_Control_1"));
    g.col("Cantidad_Control_2").setValue(campo("Rm_Cantidad_Control_2"));
    g.col("Unidad_Control_2").setValue(campo("Rm_Unidad_Control_2"));
    g.col("Pr_Tipo_Producto").setValue(producto[3]);

    const std::string tipo = g.col("Pr_Tipo_Producto").value().toString();
    if (tipo == "02")
        g.col("Lt_Cve_Lote").setValue(lotes.LoteDocumento("Remision", folio, id));
    if (tipo == "03") {
        db::Recordset numeros =
            series.SeriesDocumento("Remision", folio, id, g.col("Pr_Cve_Producto").value().toString(),
                                   g.col("Tl_Cve_Talla").value().toString(), g.col("Cl_Cve_Color").value().toString());
        std::string serie;
        for (; !numeros.Eof(); numeros.MoveNext())
            serie += (serie.empty() ? "" : "|") + numeros.Fields("Sr_Cve_Serie").toString();
        g.col("Sr_Cve_Serie").setValue(serie);
        numeros.Close();
    }
    if (const std::string texto = TextoTipoProducto(tipo); !texto.empty())
        g.col("TIPO_PRODUCTO").setValue(texto);

    if (g.col("Unidad_1").value().toString() == campo("Rm_Unidad_Costo").toString()) {
        g.col("Cantidad_Costo").setValue(campo("Rm_Cantidad_Costo"));
        g.col("Unidad_Costo").setValue(campo("Rm_Unidad_1"));
    } else {
        g.col("Cantidad_Costo").setValue(campo("Rm_Cantidad_Control_2"));
        g.col("Unidad_Costo").setValue(campo("Rm_Unidad_Control_2"));
    }
    g.col("Costo").setValue(campo("Rm_Costo"));

    // Only the stored amounts are shown as they are; the unit prices and line amounts follow
    // from them without rounding.
    g.col("Pr_Folio").setValue(campo("Pr_Folio"));
    g.col("Precio_Lista").setValue(campo("Rm_Precio_Lista"));
    g.col("Precio_Lista_Importe").setValue(numero("Precio_Lista") * numero("Cantidad_1"));
    g.col("Descuento_Factor").setValue(campo("Rm_Descuento_Factor"));
    g.col("Descuento_Importe").setValue(campo("Rm_Descuento_Importe"));
    g.col("Precio_Descontado").setValue(numero("Precio_Lista") - numero("Precio_Lista") * numero("Descuento_Factor"));
    g.col("Precio_Descontado_Importe").setValue(numero("Precio_Lista_Importe") - numero("Descuento_Importe"));
    g.col("Impuesto_Factor").setValue(campo("Rm_Impuesto_Factor"));
    g.col("Impuesto_Importe").setValue(campo("Rm_Impuesto_Importe"));
    g.col("Precio_Neto").setValue(numero("Precio_Descontado") +
                                  numero("Precio_Descontado") * numero("Impuesto_Factor"));
    g.col("Precio_Neto_Importe").setValue(numero("Precio_Neto") * numero("Cantidad_1"));

    g.col("DESCAMP").setValue(catalogo.descripcionAmpliada("Remision", id));
    g.col("DESAMPR").setValue(catalogo.descripcionAmpliada("REMISION2", id));
}

} // namespace tesmira::vn003

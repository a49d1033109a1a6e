// The order folio that starts a new delivery note.
#include "base/VbConstants.h"
#include "db/Connection.h"
#include "host/services/Progreso.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

namespace tesmira::vn003 {

namespace {

// A load the clerk stopped leaves the note as it was when the folio was typed: nothing of the
// order, so Enter in the folio loads it again.
void descartaPedido(frmVN003& f)
{
    f.txt_Pd_Folio_Change();
    f.txtSalida.setText("");
    f.txt_Pd_Folio.setFocus();
}

} // namespace

void frmVN003::txt_Pd_Folio_Change()
{
    // A user bound to a branch or warehouse keeps it across orders.
    if (Sistema().SucursalUsuario().empty())
        txt_Sc_Cve_Sucursal.setText("");
    if (Sistema().AlmacenUsuario().empty())
        txt_Al_Cve_Almacen.setText("");
    for (TextField* t : {&txtVendedor, &txtCliente, &txt_Cl_Razon_Social_1, &txt_Cl_Direccion_1, &txt_Cl_R_F_C,
                         &txt_Comentario, &txt_Credito_Disponible})
        t->setText("");
    ssDetalle.removeAll();
    IdDomicilioEntrega.clear();
    ConsultaProductosPedido.clear();
}

void frmVN003::txt_Pd_Folio_Enter()
{
    if (txt_Pd_Folio.text().empty())
        return;
    try {
        txt_Pd_Folio.setText(Utilerias().FormatoFolio(txt_Pd_Folio.text()));
        txt_Pd_Folio.refresh();
        const std::string folio = db::quoted(txt_Pd_Folio.text());

        TextoSQL = "SELECT TOP 1.* FROM Orden_Entrega ";
        TextoSQL += "WHERE Oe_Tabla = 'PEDIDO' AND ";
        TextoSQL += "   Oe_documento = '" + folio + "' AND ";
        TextoSQL += "   Es_Cve_Estado <> 'CA'";
        db::Recordset ordenes = Sistema().Conexion().Execute(TextoSQL);
        if (!ordenes.Eof()) {
            Sistema().Mensaje("No es posible remisionar el pedido si tiene órdenes de entrega", vb::vbInformation, "Tesmira", this,
                              "VN003", "ERR-ID:7500033");
            ordenes.Close();
            return;
        }
        ordenes.Close();

        if (Parametros.SurtirSoloExistente)
            Cargar_Solo_Producto_Con_Existencia();
        else
            CargaPedido();
        if (Sistema().Progreso().Detenido())
            return descartaPedido(*this);

        // Databases without the handheld tables skip the dispatch silently.
        std::string salida;
        if (Utilerias().BuscaDato("sysobjects", "sysobjects.Name", "PDA_SALIDA", "'EXISTE' ", false, "Type", "U",
                                  "") == "EXISTE") {
            TextoSQL = "SELECT * FROM PDA_Salida ";
            TextoSQL += "WHERE Pd_Folio = '" + folio + "' AND ";
            TextoSQL += "   Es_Cve_Estado = 'FN' ";
            db::Recordset salidas = Sistema().Conexion().Execute(TextoSQL);
            if (!salidas.Eof())
                salida = salidas.Fields("Sa_Folio").toString();
            salidas.Close();
        }
        if (!salida.empty()) {
            txtSalida.setText(salida);
            txtSalida_Enter();
            if (Sistema().Progreso().Detenido())
                return descartaPedido(*this);
        }

        Frame_Carga("PEDIDO", txt_Pd_Folio.text());
    } catch (const std::exception& e) {
        ReportaError("txt_Pd_Folio_Enter()", "ERR-ID:7500034", e.what(), "txt_Pd_Folio_Enter()");
    }
}

} // namespace tesmira::vn003

// The handheld dispatch: the lines picked for the order replace the grid's.
#include "base/VbConstants.h"
#include "db/Connection.h"
#include "host/services/LoteCapturado.h"
#include "host/services/Lotes.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"
#include "vn003/shell/AvanceCarga.h"
#include "vn003/loading/ConsultasCarga.h"

namespace tesmira::vn003 {

void frmVN003::txtSalida_KeyUp(int keyCode, int /*shift*/)
{
    if (keyCode != vb::vbKeyF2)
        return;
    TextoSQL = consultas::salidasAlmacen(txt_Sc_Cve_Sucursal.text(), txt_Al_Cve_Almacen.text(),
                                         MostrarSalidaPropia ? std::optional(FolioSalidaRemision) : std::nullopt);
    const std::string elegida = Utilerias().ListaBusqueda(TextoSQL, 100);
    if (elegida.empty())
        return;
    txtSalida.setText(elegida);
    txtSalida_Enter();
}

namespace {

// Whether the typed dispatch may fill the grid: it exists, is finished (or is the note's own)
// and belongs to the order on screen. A refused one is erased, with a message where the
// user needs one.
bool aceptaSalida(frmVN003& f, const std::string& salida)
{
    f.TextoSQL = "SELECT * ";
    f.TextoSQL += "FROM PDA_Salida ";
    f.TextoSQL += "WHERE Sa_Folio = '" + db::quoted(salida) + "' AND ";
    f.TextoSQL += "   Es_Cve_Estado <> 'CA'";
    db::Recordset encabezado = Sistema().Conexion().Execute(f.TextoSQL);
    if (encabezado.Eof()) {
        Sistema().Mensaje("El folio de salida no es válido", vb::vbInformation, "Tesmira", &f, "VN003", "ERR-ID:7500046");
        f.txtSalida.setText("");
        if (f.txtSalida.enabled())
            f.txtSalida.setFocus();
        return false;
    }
    if (encabezado.Fields("Es_Cve_Estado").toString() != "FN" &&
        !(f.MostrarSalidaPropia && encabezado.Fields("Sa_Folio").toString() == f.FolioSalidaRemision)) {
        f.txtSalida.setText("");
        return false;
    }
    const std::string pedidoSalida = encabezado.Fields("Pd_Folio").toString();
    encabezado.Close();
    if (pedidoSalida != f.txt_Pd_Folio.text()) {
        Sistema().Aviso("La salida no corresponde al pedido seleccionado\r\nFolio salida: " + salida +
                            "\r\nPedido salida: " + pedidoSalida + "\r\nPedido actual: " + f.txt_Pd_Folio.text(),
                        vb::vbExclamation, "Folio incorrecto");
        f.txtSalida.setText("");
        return false;
    }
    return true;
}

// A picked quantity as the grid gets it: the order line's units, prices and concept, the
// product's handling, amounts for what was picked.
frmVN003::PartidaPedido partida(frmVN003& f, const db::Recordset& detalle, const db::Recordset& pend, double q)
{
    const host::Utilerias& u = Utilerias();
    frmVN003::PartidaPedido p;
    p.producto = pend.Fields("Pr_Cve_Producto").toString();
    p.unidad1 = pend.Fields("Pd_Unidad_1").toString();
    p.unidadControl1 = pend.Fields("Pd_Unidad_Control_1").toString();
    p.unidadControl2 = pend.Fields("Pd_Unidad_Control_2").toString();
    const double q1 = u.FactorConversion(p.producto, p.unidad1, p.unidadControl1) * q;
    const double q2 = u.FactorConversion(p.producto, p.unidadControl1, p.unidadControl2) * q1;

    f.TextoSQL = "SELECT Pr_Descripcion, Pr_Maneja_Talla, ";
    f.TextoSQL += "   Pr_Maneja_Color, Pr_Tipo_Producto, ";
    f.TextoSQL += "   Pr_Porcentaje_Variacion ";
    f.TextoSQL += "FROM Producto ";
    f.TextoSQL += "WHERE Pr_Cve_Producto = ? ";
    db::Recordset pr = Sistema().Conexion().ExecuteMemo(f.TextoSQL, {p.producto});

    p.sucursalInventario = detalle.Fields("Sc_Cve_Sucursal").toString();
    p.almacenInventario = detalle.Fields("Al_Cve_Almacen").toString();
    p.documentoId = pend.Fields("Pd_ID").toString();
    const std::string concepto = pend.Fields("Pd_Concepto").toString();
    p.descripcion = concepto.empty() ? pr.Fields("Pr_Descripcion").toString() : concepto;
    p.talla = pend.Fields("Tl_Cve_Talla").toString();
    p.color = pend.Fields("Cl_Cve_Color").toString();
    p.manejaTalla = pr.Fields("Pr_Maneja_Talla").toString();
    p.manejaColor = pr.Fields("Pr_Maneja_Color").toString();
    p.porcentajeVariacion = pr.Fields("Pr_Porcentaje_Variacion").toDouble();
    p.tipoProducto = pr.Fields("Pr_Tipo_Producto").toString();
    pr.Close();
    p.cantidad1 = q;
    p.control1 = q1;
    p.control2 = q2;
    p.unidadCostoPedido = pend.Fields("Pd_Unidad_Costo").toString();
    if (p.unidad1 == p.unidadCostoPedido) {
        p.cantidadCosto = q;
        p.unidadCosto = p.unidad1;
    } else {
        p.cantidadCosto = q2;
        p.unidadCosto = p.unidadControl2;
    }
    p.costo = 0;
    p.cuota = pend.Fields("Pd_Cuota_Fija").toDouble();
    p.prFolio = pend.Fields("Pr_Folio").toString();
    // Amounts for the picked quantity, always with calculation kind 5.
    p.importesPara(pend, q);
    p.u1Desde = p.unidad1;
    p.u1Hasta = p.unidadControl1;
    p.u2Desde = p.unidadControl1;
    p.u2Hasta = p.unidadControl2;
    if (u.UnidadCubicada(p.unidadControl2) && q != 0) {
        p.conFactorM3 = true;
        p.factorM3 = q2 / q;
    }
    p.descamp = u.DescripcionAmpliada("PEDIDO", f.txt_Pd_Folio.text(), p.documentoId);
    return p;
}

// The picked location, and for a lot product the picked lot (or, when the terminal recorded
// none, the one the order line reserved).
void asignaUbicacionLote(frmVN003& f, const db::Recordset& detalle, const frmVN003::PartidaPedido& p,
                         const std::string& fecha)
{
    f.ssDetalle.col("Ubicacion").setValue(detalle.Fields("Ua_Cve_Ubicacion_Almacen").toString());
    f.ssDetalle.col("DESAMPR").setValue(p.descamp);
    if (p.tipoProducto != "02")
        return;
    host::Lotes lotes(Sistema().entorno());
    const std::string lote = detalle.Fields("Sa_Lote").toString();
    f.ssDetalle.col("Lt_Cve_Lote")
        .setValue(lote.empty() ? lotes.LoteDocumento("PEDIDO", f.txt_Pd_Folio.text(), detalle.Fields("Pd_ID").toString())
                               : host::LoteCapturado{lote, p.control1, p.control2, fecha, fecha}.texto());
}

} // namespace

void frmVN003::txtSalida_Enter()
{
    if (txt_Pd_Folio.text().empty() || !Controles.ModoNuevo())
        return;
    try {
        if (txtSalida.text().empty()) {
            if (ssDetalle.rowCount() == 0) {
                dpFecha.setEnabled(true);
                txtReferencia.setEnabled(true);
            }
            return;
        }
        const host::Utilerias& u = Utilerias();
        txtSalida.setText(u.FormatoFolio(txtSalida.text()));
        txtSalida.refresh();
        const std::string salida = txtSalida.text();
        if (!aceptaSalida(*this, salida))
            return;

        ssDetalle.removeAll();
        ssDetalle.allowAddNew = false;
        ssDetalle.col("PR_CVE_PRODUCTO").setLocked(true);
        if (Parametros.CapturaCiega) {
            ssDetalle.allowAddNew = true;
            ssDetalle.col("PR_CVE_PRODUCTO").setLocked(false);
            return;
        }

        const std::string folio = txt_Pd_Folio.text();
        const std::string fecha = u.FormatoFecha(dpFecha.value());
        // Catalogue look-ups repeated row after row are answered once for the whole load.
        db::Connection::MemoScope memo(Sistema().Conexion());
        const std::string pendienteLinea =
            consultas::pendienteLineaSalida(folio, txtFolio.text(), Sistema().SucursalUsuario());
        TextoSQL = consultas::detalleSalida(salida);
        db::Recordset detalle = Sistema().Conexion().Execute(TextoSQL);
        for (AvanceCarga avance(detalle, ssDetalle); !detalle.Eof() && avance(); detalle.MoveNext()) {
            const double q = detalle.Fields("Sa_Cantidad_1").toDouble();
            TextoSQL = pendienteLinea;
            db::Recordset pend = Sistema().Conexion().Execute(
                TextoSQL, {detalle.Fields("Pr_Cve_Producto"), detalle.Fields("Tl_Cve_Talla"),
                           detalle.Fields("Cl_Cve_Color"), detalle.Fields("Pd_ID")});
            // Picked beyond what is pending, or for no pending line: left out without a word.
            if (pend.Eof() || !(q <= pend.Fields("Pd_Cantidad_1").toDouble()))
                continue;
            const PartidaPedido p = partida(*this, detalle, pend, q);
            AgregaPartidaPedido(p);
            asignaUbicacionLote(*this, detalle, p, fecha);
        }
        ssDetalle.col("Ubicacion").setLocked(true);
        detalle.Close();
        ssDetalle.moveFirst();
    } catch (const std::exception& e) {
        ReportaError("txt_Pd_Folio_Enter()", "ERR-ID:7500047", e.what(), "txt_Pd_Folio_Enter()");
    }
}

void frmVN003::txtSalida_Change()
{
    if (!Controles.ModoNuevo() || !txtSalida.text().empty())
        return;
    // Erasing the dispatch keeps its lines but gives their locations back to the user.
    if (ssDetalle.rowCount() > 0) {
        ssDetalle.moveFirst();
        for (int i = 0; i < ssDetalle.rowCount(); ++i) {
            ssDetalle.col("Ubicacion").setValue("");
            ssDetalle.moveNext();
        }
        ssDetalle.moveFirst();
    } else {
        dpFecha.setEnabled(true);
        txtReferencia.setEnabled(true);
    }
    ssDetalle.col("Ubicacion").setLocked(false);
}

} // namespace tesmira::vn003

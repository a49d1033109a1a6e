// The handheld dispatch: the lines picked for the order replace the grid's.
#include "db/Connection.h"
#include "host/services/Lotes.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

namespace tesmira::vn003 {

namespace {

constexpr int kTeclaF2 = 113;

// The '?' marks are the pick list's own filters on the descriptions; they stay in the text.
std::string consultaSalidas(const std::string& sucursal, const std::string& almacen, bool incluyePropia,
                            const std::string& propia)
{
    std::string sql = std::string()
        + "SELECT PDA_Salida.Sa_Folio AS CLAVE, "
        + "   PDA_Salida.Sa_Fecha AS FECHA, "
        + "   PDA_Salida_Detalle.Sc_Cve_Sucursal + ' - ' + Sucursal.Sc_Descripcion AS SUCURSAL, "
        + "   PDA_Salida_Detalle.Al_Cve_Almacen + ' - ' + Almacen.Al_Descripcion AS ALMACEN, "
        + "   PDA_Salida.Pd_Folio AS PEDIDO, "
        + "   PDA_Salida.Es_Cve_Estado AS ESTADO "
        + "FROM PDA_Salida "
        + "   INNER JOIN PDA_Salida_Detalle ON PDA_Salida_Detalle.Sa_Folio = PDA_Salida.Sa_Folio "
        + "   INNER JOIN Sucursal ON Sucursal.Sc_Cve_Sucursal = PDA_Salida_Detalle.Sc_Cve_Sucursal "
        + "   INNER JOIN Almacen ON Almacen.Sc_Cve_Sucursal = PDA_Salida_Detalle.Sc_Cve_Sucursal AND "
        + "       Almacen.Al_Cve_Almacen = PDA_Salida_Detalle.Al_Cve_Almacen "
        + "WHERE Sucursal.Sc_Descripcion LIKE ? AND "
        + "   Almacen.Al_Descripcion LIKE ? AND "
        + "   Sucursal.Sc_Cve_Sucursal = '" + sucursal + "' AND "
        + "   Almacen.Al_Cve_Almacen = '" + almacen + "' AND "
        + "   (PDA_Salida.Es_Cve_Estado = 'FN' ";
    if (incluyePropia)
        sql += std::string("   OR PDA_Salida.Sa_Folio = '") + propia + "' ";
    return sql
        + "   )"
        + "GROUP BY PDA_Salida.Sa_Folio, "
        + "   PDA_Salida.Sa_Fecha, "
        + "   PDA_Salida_Detalle.Sc_Cve_Sucursal + ' - ' + Sucursal.Sc_Descripcion, "
        + "   PDA_Salida_Detalle.Al_Cve_Almacen + ' - ' + Almacen.Al_Descripcion, "
        + "   PDA_Salida.Pd_Folio, "
        + "   PDA_Salida.Es_Cve_Estado ";
}

std::string consultaDetalleSalida(const std::string& salida)
{
    return std::string()
        + "SELECT Al_Cve_Almacen, "
        + "   Sc_Cve_Sucursal, "
        + "   Ua_Cve_Ubicacion_Almacen, "
        + "   Pd_ID, "
        + "   Pr_Cve_Producto, "
        + "   Tl_Cve_Talla, "
        + "   Cl_Cve_Color, "
        + "   Sa_Lote, "
        + "   SUM(Sa_Cantidad_1) AS Sa_Cantidad_1 "
        + "FROM PDA_Salida_Detalle "
        + "WHERE Sa_Folio = '" + salida + "' "
        + "GROUP BY Al_Cve_Almacen, "
        + "   Sc_Cve_Sucursal, "
        + "   Ua_Cve_Ubicacion_Almacen, "
        + "   Pd_ID, "
        + "   Pr_Cve_Producto, "
        + "   Tl_Cve_Talla, "
        + "   Cl_Cve_Color, "
        + "   Sa_Lote "
        + "ORDER BY Pr_Cve_Producto, "
        + "   Tl_Cve_Talla, "
        + "   Cl_Cve_Color, "
        + "   Ua_Cve_Ubicacion_Almacen ";
}

// The pending quantity of one order line; the note on screen does not count as delivered.
// The line's product, size, colour and ID are markers: the text is the same for every line
// of a dispatch, so it is translated and prepared once.
std::string consultaPendienteLinea(const std::string& folio, const std::string& nota, const std::string& sucursal)
{
    return std::string()
        + "SELECT "
        + "   Pd_ID, "
        + "   Pd_Comentario, "
        + "   Pd_Referencia, "
        + "   Sc_Cve_Sucursal, "
        + "   Al_Cve_Almacen, "
        + "   Cl_Cve_Cliente, "
        + "   Vn_Cve_Vendedor, "
        + "   Pd_Condicion_Venta, "
        + "   Pedido.Pr_Cve_Producto, "
        + "   Pedido.Tl_Cve_Talla, "
        + "   Pedido.Cl_Cve_Color, "
        + "   Pedido.Pd_Sucursal_Inventario,"
        + "   Pedido.Pd_Almacen_Inventario,"
        + "   Pd_Unidad_1, "
        + "   Pd_Unidad_Control_1, "
        + "   Pd_Unidad_Control_2, "
        + "   Pd_Unidad_Costo, "
        + "   Pr_Folio, "
        + "   Pd_Concepto, "
        + "   Pd_Cuota_Fija, "
        + "   Pd_Precio_Lista, "
        + "   Pd_Descuento_Factor, "
        + "   Pd_Precio_Descontado, "
        + "   Pd_Impuesto_Factor, "
        + "   Pd_Precio_Neto, "
        + "   Mn_Cve_Moneda, "
        + "   Pedido.Es_Cve_Estado, "
        + "   Pd_Sin_Cargo, "
        + "   ISNULL(Condicion_Venta.Cv_Controlar_Anticipo_Pedido,'') as Cv_Controlar_Anticipo_Pedido, "
        + "   Pd_Descuento_Global_Factor, "
        + "   SUM(Pd_Cantidad_1) - ISNULL(Remision.Rm_Cantidad_1,0) as Pd_Cantidad_1 , "
        + "   SUM(Pd_Cantidad_Control_1) - ISNULL(Remision.Rm_Cantidad_Control_1,0) as Pd_Cantidad_Control_1, "
        + "   SUM(Pd_Cantidad_Control_2) - ISNULL(Remision.Rm_Cantidad_Control_2,0) as Pd_Cantidad_Control_2, "
        + "   SUM(Pd_Cantidad_Costo) - ISNULL(Remision.Rm_Cantidad_Costo,0) as Pd_Cantidad_Costo "
        + "FROM Pedido "
        + "   LEFT JOIN Condicion_Venta on Condicion_Venta.Cv_Cve_Condicion_Venta = Pedido.Pd_Condicion_Venta "
        + "   LEFT JOIN ("
        + "       SELECT "
        + "           Rm_Documento_ID, "
        + "           Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto,"
        + "           sum(Rm_Cantidad_1) as Rm_Cantidad_1,"
        + "           sum(Rm_Cantidad_Control_1) as Rm_Cantidad_Control_1,"
        + "           sum(Rm_Cantidad_Control_2) as Rm_Cantidad_Control_2,"
        + "           sum(Rm_Cantidad_Costo) As Rm_Cantidad_Costo "
        + "       FROM Remision where Rm_Documento = '" + folio + "' AND "
        + "           Rm_Tabla = 'PEDIDO' AND "
        + "           Rm_Folio <> '" + nota + "' AND "
        + "           Es_Cve_Estado <> 'CA' "
        + "       GROUP BY "
        + "           Rm_Documento_ID, "
        + "           Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto "
        + ") Remision on Remision.Pr_Cve_Producto = Pedido.Pr_Cve_Producto and "
          "Remision.Tl_Cve_Talla = Pedido.Tl_Cve_Talla and Remision.Cl_Cve_Color = Pedido.Cl_Cve_Color and "
          "Remision.Rm_Concepto = Pedido.Pd_Concepto "
        + "       AND Remision.Rm_Documento_ID = Pedido.Pd_ID "
        + "WHERE "
        + "   pedido.pd_folio = '" + folio + "' AND "
        + "   Pedido.Es_Cve_Estado <> 'BO'  AND "
        + "   pedido.Sc_Cve_Sucursal LIKE '%" + sucursal + "%' AND "
        + "   Pedido.Pr_Cve_Producto = ? AND "
        + "   Pedido.Tl_Cve_Talla = ? AND "
        + "   Pedido.Cl_Cve_Color = ? AND "
        + "   Pedido.Pd_ID = ? "
        + "GROUP BY "
        + "   Remision.Rm_Cantidad_1, "
        + "   Remision.Rm_Cantidad_Control_1, "
        + "   Remision.Rm_Cantidad_Control_2, "
        + "   Remision.Rm_Cantidad_Costo, "
        + "   Condicion_Venta.Cv_Controlar_Anticipo_Pedido, "
        + "   Pd_ID, "
        + "   Pd_Comentario, "
        + "   Pd_Referencia, "
        + "   Pr_Folio, "
        + "   Pd_Concepto, "
        + "   Sc_Cve_Sucursal, "
        + "   Al_Cve_Almacen, "
        + "   Cl_Cve_Cliente, "
        + "   Vn_Cve_Vendedor, "
        + "   Pd_Condicion_Venta, "
        + "   Pedido.Pd_Cuota_Fija, "
        + "   Pedido.Pd_Precio_Lista, "
        + "   Pedido.Pd_Precio_Descontado, "
        + "   Pedido.Pr_Cve_Producto, "
        + "   Pedido.Tl_Cve_Talla, "
        + "   Pedido.Cl_Cve_Color, "
        + "   Pedido.Pd_Sucursal_Inventario, "
        + "   Pedido.Pd_Almacen_Inventario, "
        + "   Pd_Unidad_1, "
        + "   Pd_Unidad_Control_1, "
        + "   Pd_Unidad_Control_2, "
        + "   Pd_Unidad_Costo, "
        + "   Pd_Descuento_Global_Factor, "
        + "   Pd_Descuento_Factor, "
        + "   Pd_Impuesto_Factor, "
        + "   Pd_Precio_Neto, "
        + "   Mn_Cve_Moneda, "
        + "   Pedido.Es_Cve_Estado, "
        + "   Pd_Sin_Cargo ";
}

} // namespace

void frmVN003::txtSalida_KeyUp(int keyCode, int /*shift*/)
{
    if (keyCode != kTeclaF2)
        return;
    TextoSQL = consultaSalidas(db::quoted(txt_Sc_Cve_Sucursal.text()), db::quoted(txt_Al_Cve_Almacen.text()),
                               MostrarSalidaPropia, db::quoted(FolioSalidaRemision));
    const std::string elegida = Utilerias().ListaBusqueda(TextoSQL, 100);
    if (elegida.empty())
        return;
    txtSalida.setText(elegida);
    txtSalida_Enter();
}

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

        TextoSQL = "SELECT * ";
        TextoSQL += "FROM PDA_Salida ";
        TextoSQL += "WHERE Sa_Folio = '" + db::quoted(salida) + "' AND ";
        TextoSQL += "   Es_Cve_Estado <> 'CA'";
        db::Recordset encabezado = Sistema().Conexion().Execute(TextoSQL);
        if (encabezado.Eof()) {
            Sistema().Mensaje("El folio de salida no es válido", 64, "Tesmira", this, "VN003", "ERR-ID:7500046");
            txtSalida.setText("");
            if (txtSalida.enabled())
                txtSalida.setFocus();
            return;
        }
        // Only a finished dispatch, or the one the note on screen was made from.
        if (encabezado.Fields("Es_Cve_Estado").toString() != "FN" &&
            !(MostrarSalidaPropia && encabezado.Fields("Sa_Folio").toString() == FolioSalidaRemision)) {
            txtSalida.setText("");
            return;
        }
        const std::string pedidoSalida = encabezado.Fields("Pd_Folio").toString();
        encabezado.Close();
        if (pedidoSalida != txt_Pd_Folio.text()) {
            Sistema().Aviso("La salida no corresponde al pedido seleccionado\r\nFolio salida: " + salida +
                                "\r\nPedido salida: " + pedidoSalida + "\r\nPedido actual: " + txt_Pd_Folio.text(),
                            48, "Folio incorrecto");
            txtSalida.setText("");
            return;
        }

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
        db::Connection::MemoScope memo(Sistema().Conexion());
        const std::string pendienteLinea = consultaPendienteLinea(
            db::quoted(folio), db::quoted(txtFolio.text()), db::quoted(Sistema().SucursalUsuario()));
        TextoSQL = consultaDetalleSalida(db::quoted(salida));
        db::Recordset detalle = Sistema().Conexion().Execute(TextoSQL);
        for (; !detalle.Eof(); detalle.MoveNext()) {
            const double q = detalle.Fields("Sa_Cantidad_1").toDouble();
            const std::string linea = detalle.Fields("Pd_ID").toString();
            TextoSQL = pendienteLinea;
            db::Recordset pend = Sistema().Conexion().Execute(
                TextoSQL, {detalle.Fields("Pr_Cve_Producto"), detalle.Fields("Tl_Cve_Talla"),
                           detalle.Fields("Cl_Cve_Color"), linea});
            // Picked beyond what is pending, or for no pending line: left out without a word.
            if (pend.Eof() || !(q <= pend.Fields("Pd_Cantidad_1").toDouble()))
                continue;

            PartidaPedido p;
            p.producto = pend.Fields("Pr_Cve_Producto").toString();
            p.unidad1 = pend.Fields("Pd_Unidad_1").toString();
            p.unidadControl1 = pend.Fields("Pd_Unidad_Control_1").toString();
            p.unidadControl2 = pend.Fields("Pd_Unidad_Control_2").toString();
            const double q1 = u.FactorConversion(p.producto, p.unidad1, p.unidadControl1) * q;
            const double q2 = u.FactorConversion(p.producto, p.unidadControl1, p.unidadControl2) * q1;

            TextoSQL = "SELECT Pr_Descripcion, Pr_Maneja_Talla, ";
            TextoSQL += "   Pr_Maneja_Color, Pr_Tipo_Producto, ";
            TextoSQL += "   Pr_Porcentaje_Variacion ";
            TextoSQL += "FROM Producto ";
            TextoSQL += "WHERE Pr_Cve_Producto = ? ";
            db::Recordset pr = Sistema().Conexion().ExecuteMemo(TextoSQL, {p.producto});

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
            double cantidad = q, extra1 = 0, extra2 = 0;
            p.precioLista = pend.Fields("Pd_Precio_Lista").toDouble();
            p.descuentoFactor = pend.Fields("Pd_Descuento_Factor").toDouble();
            p.impuestoFactor = pend.Fields("Pd_Impuesto_Factor").toDouble();
            u.CalculaImportes(cantidad, p.precioLista, p.precioListaImporte, p.descuentoFactor, p.descuentoImporte,
                              p.precioDescontado, p.precioDescontadoImporte, extra1, extra2, p.impuestoFactor,
                              p.impuestoImporte, p.precioNeto, p.precioNetoImporte, 5, p.cuota);
            p.u1Desde = p.unidad1;
            p.u1Hasta = p.unidadControl1;
            p.u2Desde = p.unidadControl1;
            p.u2Hasta = p.unidadControl2;
            if (u.UnidadCubicada(p.unidadControl2) && q != 0) {
                p.conFactorM3 = true;
                p.factorM3 = q2 / q;
            }
            p.descamp = u.DescripcionAmpliada("PEDIDO", folio, p.documentoId);
            AgregaPartidaPedido(p);

            ssDetalle.col("Ubicacion").setValue(detalle.Fields("Ua_Cve_Ubicacion_Almacen").toString());
            ssDetalle.col("DESAMPR").setValue(p.descamp);
            if (p.tipoProducto == "02") {
                host::Lotes lotes(Sistema().entorno());
                const std::string lote = detalle.Fields("Sa_Lote").toString();
                // A lot the terminal did not record is the one the order line reserved.
                ssDetalle.col("Lt_Cve_Lote")
                    .setValue(lote.empty() ? lotes.LoteDocumento("PEDIDO", folio, linea)
                                           : lote + "@" + Value(q1).toString() + "@" + Value(q2).toString() + "@" +
                                                 fecha + "@" + "@" + fecha + "@");
            }
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

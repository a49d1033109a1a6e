// The stock-only order loader: no line gets more than the warehouse holds.
#include "db/Connection.h"
#include "host/output/Impresion.h"
#include "host/services/Lotes.h"
#include "host/services/Permisos.h"
#include "host/services/Series.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

#include <algorithm>

namespace tesmira::vn003 {

namespace {

// Unlike the ordinary loader's, delivered quantities are matched per order line, 'BO' lines
// come back and the order is whatever the database gives.
std::string consultaPendientes(const std::string& folio, const std::string& sucursal)
{
    return std::string()
        + "SELECT "
        + "   Pd_ID,"
        + "   Pd_Comentario,"
        + "   Pd_Referencia,"
        + "   Sc_Cve_Sucursal,"
        + "   Al_Cve_Almacen,"
        + "   Pedido.Pd_Sucursal_Inventario,"
        + "   Pedido.Pd_Almacen_Inventario,"
        + "   Cl_Cve_Cliente,"
        + "   Vn_Cve_Vendedor,"
        + "   Pd_Condicion_Venta,"
        + "   Producto.Pr_Descripcion,"
        + "   Producto.Pr_Tipo_Producto,"
        + "   Pedido.Pr_Cve_Producto,"
        + "   Pedido.Tl_Cve_Talla,"
        + "   Pedido.Cl_Cve_Color,"
        + "   Producto.Pr_Maneja_Talla,"
        + "   Producto.Pr_Maneja_Color,"
        + "   Producto.Pr_Porcentaje_Variacion, "
        + "   Talla.Tl_Descripcion, "
        + "   Color.Cl_Descripcion, "
        + "   Pd_Unidad_1,"
        + "   Pd_Unidad_Control_1,"
        + "   Pd_Unidad_Control_2,"
        + "   Pd_Unidad_Costo,"
        + "   Pr_Folio,"
        + "   Pd_Costo,"
        + "   Pd_Concepto,"
        + "   Pd_Cuota_Fija,"
        + "   Pd_Precio_Lista,"
        + "   Pd_Descuento_Factor,"
        + "   Pd_Precio_Descontado,"
        + "   Pd_Impuesto_Factor,"
        + "   Pd_Precio_Neto,"
        + "   Mn_Cve_Moneda,Pd_Sin_Cargo,"
        + "   Pedido.Es_Cve_Estado,"
        + "   Pd_Descuento_Global_Factor,"
        + "   Pd_Descuento_Global_Importe,"
        + "   SUM(Pd_Cantidad_1) - ISNULL(Remision.Rm_Cantidad_1,0) as Pd_Cantidad_1,"
        + "   SUM(Pd_Cantidad_Control_1) - ISNULL(Remision.Rm_Cantidad_Control_1,0) as Pd_Cantidad_Control_1,"
        + "   SUM(Pd_Cantidad_Control_2) - ISNULL(Remision.Rm_Cantidad_Control_2,0) as Pd_Cantidad_Control_2,"
        + "   SUM(Pd_Cantidad_Costo) - ISNULL(Remision.Rm_Cantidad_Costo,0) as Pd_Cantidad_Costo "
        + "FROM Pedido "
        + "   INNER JOIN Producto ON Producto.Pr_Cve_Producto = Pedido.Pr_Cve_Producto "
        + "   LEFT JOIN Talla ON Talla.Tl_Cve_Talla = Pedido.Tl_Cve_Talla "
        + "   LEFT JOIN Color ON Color.Cl_Cve_Color = Pedido.Cl_Cve_Color "
        + "LEFT JOIN ("
        + "    SELECT Remision.Rm_Documento_ID, "
        + "    Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto,"
        + "    sum(Rm_Cantidad_1) as Rm_Cantidad_1,"
        + "    sum(Rm_Cantidad_Control_1) as Rm_Cantidad_Control_1,"
        + "    sum(Rm_Cantidad_Control_2) as Rm_Cantidad_Control_2,"
        + "    sum(Rm_Cantidad_Costo) As Rm_Cantidad_Costo "
        + "    From Remision where Rm_Documento = '" + folio + "' and Rm_Tabla = 'PEDIDO' and Es_Cve_Estado <> 'CA' "
        + "    Group By Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto,Remision.Rm_Documento_ID "
        + ") Remision on Remision.Pr_Cve_Producto = Pedido.Pr_Cve_Producto AND "
        + "    Remision.Tl_Cve_Talla = Pedido.Tl_Cve_Talla AND"
        + "    Remision.Cl_Cve_Color = Pedido.Cl_Cve_Color AND "
        + "    Remision.Rm_Concepto = Pedido.Pd_Concepto AND "
        + "   Remision.Rm_Documento_ID = Pedido.Pd_ID "
        + "WHERE Pd_Folio = '" + folio + "' AND Sc_Cve_Sucursal like '%" + sucursal + "%' "
        + "GROUP BY "
        + "   Remision.Rm_Cantidad_1,"
        + "   Remision.Rm_Cantidad_Control_1,"
        + "   Remision.Rm_Cantidad_Control_2,"
        + "   Remision.Rm_Cantidad_Costo,"
        + "   Pd_Comentario,"
        + "   Pd_Referencia,"
        + "   Pr_Folio,"
        + "   Pd_Concepto,"
        + "   Sc_Cve_Sucursal,"
        + "   Al_Cve_Almacen,"
        + "   Pedido.Pd_Sucursal_Inventario,"
        + "   Pedido.Pd_Almacen_Inventario,"
        + "   Cl_Cve_Cliente,"
        + "   Vn_Cve_Vendedor,"
        + "   Pd_Condicion_Venta,"
        + "   Producto.Pr_Tipo_Producto,"
        + "   Producto.Pr_Descripcion,"
        + "   Pedido.Pd_Cuota_Fija,"
        + "   Pedido.Pd_Precio_Lista,"
        + "   Pedido.Pd_Precio_Descontado,"
        + "   Pedido.Pr_Cve_Producto,"
        + "   Pedido.Tl_Cve_Talla,"
        + "   Producto.Pr_Maneja_Talla,"
        + "   Producto.Pr_Maneja_Color,"
        + "   Producto.Pr_Porcentaje_Variacion, "
        + "   Talla.Tl_Descripcion, "
        + "   Color.Cl_Descripcion, "
        + "   Pedido.Cl_Cve_Color,"
        + "   Pd_ID,"
        + "   Pd_Unidad_1,"
        + "   Pd_Unidad_Control_1,"
        + "   Pd_Unidad_Control_2,"
        + "   Pd_Unidad_Costo,"
        + "   Pd_Costo,"
        + "   Pd_Descuento_Global_Factor,"
        + "   Pd_Descuento_Global_Importe,"
        + "   Pd_Descuento_Factor,"
        + "   Pd_Impuesto_Factor,"
        + "   Pd_Precio_Neto,"
        + "   Mn_Cve_Moneda, Pd_Sin_Cargo,"
        + "   Pedido.Es_Cve_Estado ";
}

std::string separadoPorComas(std::string texto)
{
    std::replace(texto.begin(), texto.end(), '|', ',');
    return texto;
}

} // namespace

void frmVN003::Cargar_Solo_Producto_Con_Existencia()
{
    if (txt_Pd_Folio.text().empty())
        return;
    try {
        txt_Pd_Folio.refresh();
        db::Connection::MemoScope memo(Sistema().Conexion());
        TextoSQL = consultaPendientes(db::quoted(txt_Pd_Folio.text()), db::quoted(Sistema().SucursalUsuario()));
        db::Recordset rs = Sistema().Conexion().Execute(TextoSQL);
        const MensajesCargaPedido mensajes{"El pedido especificado no contiene productos pendientes por remisionar",
                                           "ERR-ID:7500052", "ERR-ID:7500053", "ERR-ID:7500054"};
        if (!PreparaCargaPedido(rs, mensajes))
            return;

        const host::Utilerias& u = Utilerias();
        const std::string folioPedido = txt_Pd_Folio.text();
        bool parcial = false;
        std::string reporte;
        for (; !rs.Eof(); rs.MoveNext()) {
            const std::string producto = rs.Fields("Pr_Cve_Producto").toString();
            const std::string talla = rs.Fields("Tl_Cve_Talla").toString();
            const std::string color = rs.Fields("Cl_Cve_Color").toString();
            const std::string tipo = rs.Fields("Pr_Tipo_Producto").toString();
            const std::string idPartida = rs.Fields("Pd_ID").toString();
            const std::string unidad1 = rs.Fields("Pd_Unidad_1").toString();
            const std::string unidadControl1 = rs.Fields("Pd_Unidad_Control_1").toString();
            const std::string unidadControl2 = rs.Fields("Pd_Unidad_Control_2").toString();
            const double pendiente1 = rs.Fields("Pd_Cantidad_1").toDouble();
            const double pendienteControl1 = rs.Fields("Pd_Cantidad_Control_1").toDouble();
            const double pendienteControl2 = rs.Fields("Pd_Cantidad_Control_2").toDouble();

            double q1 = pendiente1, c1 = pendienteControl1, c2 = pendienteControl2;
            if (tipo != "99" && tipo != "04" && Parametros.SurtirSoloExistente) {
                const std::string sucursal = txt_Sc_Cve_Sucursal.value().toString();
                const std::string almacen = txt_Al_Cve_Almacen.value().toString();
                const double s1 = Permisos->Existencia(sucursal, almacen, producto, talla, color, 1, unidadControl1);
                const double s2 = Permisos->Existencia(sucursal, almacen, producto, talla, color, 2, unidadControl2);
                if (!(s1 > pendienteControl1)) {
                    const double f = u.FactorConversion(producto, unidadControl1, unidad1);
                    if (f == 0) {
                        TextoSQL = "Imposible cargar la partida actual, producto: " + producto + " - " +
                                   rs.Fields("Pr_Descripcion").toString() + "\r\n" +
                                   "Debido a que la conversión: " + unidadControl1 + " -> " + unidad1;
                        Sistema().Mensaje(TextoSQL, 48, "Tesmira", this, "VN003", "ERR-ID:7500055");
                        return;
                    }
                    c1 = s1;
                    c2 = s2;
                    q1 = s1 * f;
                    if (pendienteControl1 > s1) {
                        parcial = true;
                        reporte += "Producto:" + producto + " - " + rs.Fields("Pd_Concepto").toString() + "\r\n";
                        if (rs.Fields("Pr_Maneja_Talla").toString() == "SI")
                            reporte += "   TALLA:" + talla + " - " + rs.Fields("Tl_Descripcion").toString() + "\r\n";
                        if (rs.Fields("Pr_Maneja_Color").toString() == "SI")
                            reporte += "   COLOR:" + color + " - " + rs.Fields("Cl_Descripcion").toString() + "\r\n";
                        if (tipo == "02") {
                            host::Lotes lotes(Sistema().entorno());
                            reporte += "   LOTES:" +
                                       separadoPorComas(lotes.LoteDocumento("PEDIDO", folioPedido, idPartida)) +
                                       "\r\n";
                        }
                        if (tipo == "03") {
                            host::Series series(Sistema().entorno());
                            reporte += "   SERIES:" +
                                       separadoPorComas(series.SeriesPedido("PEDIDO", folioPedido, idPartida,
                                                                            producto, "%", "%")) +
                                       "\r\n";
                        }
                    }
                }
            }
            if (!(tipo == "99" || (c1 > 0 && c2 > 0)))
                continue;

            PartidaPedido p;
            p.sucursalInventario = rs.Fields("Pd_Sucursal_Inventario").toString();
            p.almacenInventario = rs.Fields("Pd_Almacen_Inventario").toString();
            p.documentoId = idPartida;
            p.producto = producto;
            const std::string concepto = rs.Fields("Pd_Concepto").toString();
            p.descripcion = concepto.empty() ? rs.Fields("Pr_Descripcion").toString() : concepto;
            p.talla = talla;
            p.color = color;
            p.manejaTalla = rs.Fields("Pr_Maneja_Talla").toString();
            p.manejaColor = rs.Fields("Pr_Maneja_Color").toString();
            p.porcentajeVariacion = rs.Fields("Pr_Porcentaje_Variacion").toDouble();
            p.tipoProducto = tipo;
            p.cantidad1 = q1;
            p.control1 = c1;
            p.control2 = c2;
            p.unidad1 = unidad1;
            p.unidadControl1 = unidadControl1;
            p.unidadControl2 = unidadControl2;
            p.unidadCostoPedido = rs.Fields("Pd_Unidad_Costo").toString();
            p.cantidadCosto = c1;
            p.unidadCosto = p.unidadCostoPedido;
            p.costo = Permisos->CostoProducto(rs.Fields("Sc_Cve_Sucursal").toString(),
                                              rs.Fields("Al_Cve_Almacen").toString(), producto, talla, color, 0, "");
            p.cuota = rs.Fields("Pd_Cuota_Fija").toDouble();
            p.prFolio = rs.Fields("Pr_Folio").toString();
            // Amounts for the quantity actually loaded, always with calculation kind 5.
            double cantidad = q1, extra1 = 0, extra2 = 0;
            p.precioLista = rs.Fields("Pd_Precio_Lista").toDouble();
            p.descuentoFactor = rs.Fields("Pd_Descuento_Factor").toDouble();
            p.impuestoFactor = rs.Fields("Pd_Impuesto_Factor").toDouble();
            u.CalculaImportes(cantidad, p.precioLista, p.precioListaImporte, p.descuentoFactor, p.descuentoImporte,
                              p.precioDescontado, p.precioDescontadoImporte, extra1, extra2, p.impuestoFactor,
                              p.impuestoImporte, p.precioNeto, p.precioNetoImporte, 5, p.cuota);
            p.u1Desde = unidad1;
            p.u1Hasta = unidad1;
            p.u2Desde = unidad1;
            p.u2Hasta = unidadControl2;
            if (u.UnidadCubicada(unidadControl2) && pendiente1 != 0) {
                p.conFactorM3 = true;
                p.factorM3 = pendienteControl2 / pendiente1;
            }
            p.descamp = u.DescripcionAmpliada("PEDIDO", folioPedido, idPartida);
            AgregaPartidaPedido(p);

            ssDetalle.col("Lt_Cve_Lote").setValue("");
            ssDetalle.col("Sr_Cve_Serie").setValue("");
            if (tipo == "03" && Parametros.ApartarSerie) {
                host::Series series(Sistema().entorno());
                ssDetalle.col("Sr_Cve_Serie").setValue(
                    series.SeriesPedido("PEDIDO", folioPedido, idPartida, producto, "%", "%"));
            }
        }
        ssDetalle.moveFirst();
        rs.Close();
        if (parcial) {
            host::Impresion impresion(Sistema().entorno());
            impresion.MuestraTexto("Se surtio parcialmente el pedido, debio a que no todos los productos tienen "
                                   "existencia suficiente\r\n" +
                                       reporte,
                                   "", 0, 0, -1, -1, 7, -1);
        }
    } catch (const std::exception& e) {
        ReportaError("Cargar_Solo_Producto_Con_Existencia()", "ERR-ID:7500056", e.what(),
                     "Cargar_Solo_Producto_Con_Existencia()");
    }
}

} // namespace tesmira::vn003

// The loaders' statements, built here once so the tests and the benchmarks run the screen's own
// text. Every value goes through quoted(); the fragments are joined exactly as the screen joins them.
#include "vn003/loading/ConsultasCarga.h"

#include "db/Connection.h"

namespace tesmira::vn003::consultas {

namespace {

// One group per order line: (folio, ID) is the order's key, so every Pedido column follows from
// it, and the delivered sums joined to a line are one row (MAX of one value). Grouping by the key
// rather than by every selected column reads the key's index in order: no sort.
std::string porPartida() { return " GROUP BY Pedido.Pd_ID, Pedido.Pd_Folio "; }

} // namespace

std::string entregasPedido(const std::string& folio, const std::optional<std::string>& nota)
{
    const std::string sinNota = nota ? "AND Rm_Folio <> '" + db::quoted(*nota) + "' " : "";
    return std::string()
        + "   LEFT JOIN ("
        + "    SELECT "
        + "    Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto,"
        + "    sum(Rm_Cantidad_1) as Rm_Cantidad_1,"
        + "    sum(Rm_Cantidad_Control_1) as Rm_Cantidad_Control_1,"
        + "    sum(Rm_Cantidad_Control_2) as Rm_Cantidad_Control_2,"
        + "    sum(Rm_Cantidad_Costo) As Rm_Cantidad_Costo "
        + "    FROM Remision where Rm_Documento = '" + db::quoted(folio) + "' and Rm_Tabla = 'PEDIDO' " + sinNota
        + "and Es_Cve_Estado <> 'CA' "
        + "    GROUP BY Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto "
        + ") Remision on Remision.Pr_Cve_Producto = Pedido.Pr_Cve_Producto and "
        + "       Remision.Tl_Cve_Talla = Pedido.Tl_Cve_Talla and Remision.Cl_Cve_Color = Pedido.Cl_Cve_Color and "
        + "       Remision.Rm_Concepto = Pedido.Pd_Concepto ";
}

namespace {

// What the ordinary and the dispatch loaders select of a pending line: the order line, its
// payment condition, and the ordered quantities less the delivered ones the caller joins as
// `Remision`.
const char* const kLineaPendiente =
    "SELECT "
    "   Pedido.Pd_ID, Pd_Comentario, Pd_Referencia, Sc_Cve_Sucursal, Al_Cve_Almacen, Cl_Cve_Cliente, "
    "   Vn_Cve_Vendedor, Pedido.Pd_Condicion_Venta, Pedido.Pr_Cve_Producto, Pedido.Tl_Cve_Talla, "
    "   Pedido.Cl_Cve_Color, Pedido.Pd_Sucursal_Inventario, Pedido.Pd_Almacen_Inventario, Pedido.Pd_Unidad_1, "
    "   Pedido.Pd_Unidad_Control_1, Pedido.Pd_Unidad_Control_2, Pedido.Pd_Unidad_Costo, Pedido.Pr_Folio, "
    "   Pedido.Pd_Concepto, Pedido.Pd_Cuota_Fija, Pedido.Pd_Precio_Lista, Pedido.Pd_Precio_Lista_Importe, "
    "   Pedido.Pd_Precio_Neto_Importe, Pedido.Pd_Descuento_Importe, Pedido.Pd_Descuento_Factor, "
    "   Pedido.Pd_Precio_Descontado, Pedido.Pd_Precio_Descontado_Importe, Pedido.Pd_Impuesto_Importe, "
    "   Pedido.Pd_Impuesto_Factor, Pedido.Pd_Precio_Neto, Mn_Cve_Moneda, Pedido.Es_Cve_Estado, Pd_Sin_Cargo, "
    "   ISNULL(MAX(Condicion_Venta.Cv_Controlar_Anticipo_Pedido),'') as Cv_Controlar_Anticipo_Pedido, "
    "   Pd_Descuento_Global_Factor, "
    "   sum(Pd_Cantidad_1) - isnull(max(Remision.Rm_Cantidad_1),0) as Pd_Cantidad_1 , "
    "   sum(Pd_Cantidad_Control_1) - isnull(max(Remision.Rm_Cantidad_Control_1),0) as Pd_Cantidad_Control_1, "
    "   sum(Pd_Cantidad_Control_2) - isnull(max(Remision.Rm_Cantidad_Control_2),0) as Pd_Cantidad_Control_2, "
    "   sum(Pd_Cantidad_Costo) - isnull(max(Remision.Rm_Cantidad_Costo),0) as Pd_Cantidad_Costo "
    "FROM Pedido "
    "   LEFT JOIN Condicion_Venta on Condicion_Venta.Cv_Cve_Condicion_Venta = Pedido.Pd_Condicion_Venta ";

// The order's lines that are not back-ordered, of the user's branch (any when "").
std::string lineasDelPedido(const std::string& folio, const std::string& sucursal)
{
    return "WHERE pedido.pd_folio = '" + db::quoted(folio) + "' AND Pedido.Es_Cve_Estado <> 'BO' AND " +
           "pedido.Sc_Cve_Sucursal LIKE '%" + db::quoted(sucursal) + "%' ";
}

} // namespace

std::string pendientesPedido(const std::string& folio, const std::string& sucursal)
{
    return std::string(kLineaPendiente) + entregasPedido(folio) + lineasDelPedido(folio, sucursal) + porPartida() +
           " ORDER BY Pedido.Pd_ID ASC, Pedido.Pd_Folio ";
}

std::string pendientesSoloExistencia(const std::string& folioTexto, const std::string& sucursalTexto)
{
    const std::string folio = db::quoted(folioTexto), sucursal = db::quoted(sucursalTexto);
    return std::string()
        + "SELECT Pd_ID, Pd_Comentario, Pd_Referencia, Sc_Cve_Sucursal, Al_Cve_Almacen, "
          "   Pedido.Pd_Sucursal_Inventario, Pedido.Pd_Almacen_Inventario, Cl_Cve_Cliente, Vn_Cve_Vendedor, "
          "   Pd_Condicion_Venta, Producto.Pr_Descripcion, Producto.Pr_Tipo_Producto, Pedido.Pr_Cve_Producto, "
          "   Pedido.Tl_Cve_Talla, Pedido.Cl_Cve_Color, Producto.Pr_Maneja_Talla, Producto.Pr_Maneja_Color, "
          "   Producto.Pr_Porcentaje_Variacion, Talla.Tl_Descripcion, Color.Cl_Descripcion, Pd_Unidad_1, "
          "   Pd_Unidad_Control_1, Pd_Unidad_Control_2, Pd_Unidad_Costo, Pr_Folio, Pd_Costo, Pd_Concepto, "
          "   Pd_Cuota_Fija, Pd_Precio_Lista, Pd_Descuento_Factor, Pd_Precio_Descontado, Pd_Impuesto_Factor, "
          "   Pd_Precio_Neto, Mn_Cve_Moneda, Pd_Sin_Cargo, Pedido.Es_Cve_Estado, Pd_Descuento_Global_Factor, "
          "   Pd_Descuento_Global_Importe, "
          "   SUM(Pd_Cantidad_1) - ISNULL(Remision.Rm_Cantidad_1,0) as Pd_Cantidad_1, "
          "   SUM(Pd_Cantidad_Control_1) - ISNULL(Remision.Rm_Cantidad_Control_1,0) as Pd_Cantidad_Control_1, "
          "   SUM(Pd_Cantidad_Control_2) - ISNULL(Remision.Rm_Cantidad_Control_2,0) as Pd_Cantidad_Control_2, "
          "   SUM(Pd_Cantidad_Costo) - ISNULL(Remision.Rm_Cantidad_Costo,0) as Pd_Cantidad_Costo "
          "FROM Pedido "
          "   INNER JOIN Producto ON Producto.Pr_Cve_Producto = Pedido.Pr_Cve_Producto "
          "   LEFT JOIN Talla ON Talla.Tl_Cve_Talla = Pedido.Tl_Cve_Talla "
          "   LEFT JOIN Color ON Color.Cl_Cve_Color = Pedido.Cl_Cve_Color "
          "   LEFT JOIN ("
          "    SELECT Remision.Rm_Documento_ID, Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color, Rm_Concepto, "
          "    sum(Rm_Cantidad_1) as Rm_Cantidad_1, sum(Rm_Cantidad_Control_1) as Rm_Cantidad_Control_1, "
          "    sum(Rm_Cantidad_Control_2) as Rm_Cantidad_Control_2, sum(Rm_Cantidad_Costo) As Rm_Cantidad_Costo "
          "    From Remision where Rm_Documento = '" + folio + "' and Rm_Tabla = 'PEDIDO' and Es_Cve_Estado <> 'CA' "
          "    Group By Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color, Rm_Concepto, Remision.Rm_Documento_ID "
          ") Remision on Remision.Pr_Cve_Producto = Pedido.Pr_Cve_Producto AND "
          "   Remision.Tl_Cve_Talla = Pedido.Tl_Cve_Talla AND Remision.Cl_Cve_Color = Pedido.Cl_Cve_Color AND "
          "   Remision.Rm_Concepto = Pedido.Pd_Concepto AND Remision.Rm_Documento_ID = Pedido.Pd_ID "
          "WHERE Pd_Folio = '" + folio + "' AND Sc_Cve_Sucursal like '%" + sucursal + "%' "
        // Rows come back in the order of these terms (PostgreSQL is asked for it): the grid's order.
        + "GROUP BY Remision.Rm_Cantidad_1, Remision.Rm_Cantidad_Control_1, Remision.Rm_Cantidad_Control_2, "
          "   Remision.Rm_Cantidad_Costo, Pd_Comentario, Pd_Referencia, Pr_Folio, Pd_Concepto, Sc_Cve_Sucursal, "
          "   Al_Cve_Almacen, Pedido.Pd_Sucursal_Inventario, Pedido.Pd_Almacen_Inventario, Cl_Cve_Cliente, "
          "   Vn_Cve_Vendedor, Pd_Condicion_Venta, Producto.Pr_Tipo_Producto, Producto.Pr_Descripcion, "
          "   Pedido.Pd_Cuota_Fija, Pedido.Pd_Precio_Lista, Pedido.Pd_Precio_Descontado, Pedido.Pr_Cve_Producto, "
          "   Pedido.Tl_Cve_Talla, Producto.Pr_Maneja_Talla, Producto.Pr_Maneja_Color, "
          "   Producto.Pr_Porcentaje_Variacion, Talla.Tl_Descripcion, Color.Cl_Descripcion, Pedido.Cl_Cve_Color, "
          "   Pd_ID, Pd_Unidad_1, Pd_Unidad_Control_1, Pd_Unidad_Control_2, Pd_Unidad_Costo, Pd_Costo, "
          "   Pd_Descuento_Global_Factor, Pd_Descuento_Global_Importe, Pd_Descuento_Factor, Pd_Impuesto_Factor, "
          "   Pd_Precio_Neto, Mn_Cve_Moneda, Pd_Sin_Cargo, Pedido.Es_Cve_Estado ";
}

namespace {

// The dispatch counts deliveries per order line, the note on screen left out.
std::string pendientesSalidaDonde(const std::string& folio, const std::string& nota, const std::string& sucursal,
                                  const std::string& unaLinea)
{
    return std::string(kLineaPendiente) +
           "   LEFT JOIN ("
           "       SELECT Rm_Documento_ID, Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color, Rm_Concepto,"
           "           sum(Rm_Cantidad_1) as Rm_Cantidad_1,"
           "           sum(Rm_Cantidad_Control_1) as Rm_Cantidad_Control_1,"
           "           sum(Rm_Cantidad_Control_2) as Rm_Cantidad_Control_2,"
           "           sum(Rm_Cantidad_Costo) As Rm_Cantidad_Costo "
           "       FROM Remision where Rm_Documento = '" +
           db::quoted(folio) + "' AND Rm_Tabla = 'PEDIDO' AND Rm_Folio <> '" + db::quoted(nota) +
           "' AND Es_Cve_Estado <> 'CA' "
           "       GROUP BY Rm_Documento_ID, Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color, Rm_Concepto "
           ") Remision on Remision.Pr_Cve_Producto = Pedido.Pr_Cve_Producto and "
           "Remision.Tl_Cve_Talla = Pedido.Tl_Cve_Talla and Remision.Cl_Cve_Color = Pedido.Cl_Cve_Color and "
           "Remision.Rm_Concepto = Pedido.Pd_Concepto AND Remision.Rm_Documento_ID = Pedido.Pd_ID " +
           lineasDelPedido(folio, sucursal) + unaLinea + porPartida();
}

} // namespace

std::string pendientesSalida(const std::string& folio, const std::string& nota, const std::string& sucursal)
{
    return pendientesSalidaDonde(folio, nota, sucursal, "");
}

std::string pendienteLineaSalida(const std::string& folio, const std::string& nota, const std::string& sucursal)
{
    return pendientesSalidaDonde(folio, nota, sucursal,
                                 "AND Pedido.Pr_Cve_Producto = ? AND Pedido.Tl_Cve_Talla = ? AND "
                                 "Pedido.Cl_Cve_Color = ? AND Pedido.Pd_ID = ? ");
}

std::string salidasAlmacen(const std::string& sucursalTexto, const std::string& almacenTexto,
                           const std::optional<std::string>& propia)
{
    const std::string sucursal = db::quoted(sucursalTexto), almacen = db::quoted(almacenTexto);
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
    if (propia)
        sql += std::string("   OR PDA_Salida.Sa_Folio = '") + db::quoted(*propia) + "' ";
    return sql
        + "   )"
        + "GROUP BY PDA_Salida.Sa_Folio, "
        + "   PDA_Salida.Sa_Fecha, "
        + "   PDA_Salida_Detalle.Sc_Cve_Sucursal + ' - ' + Sucursal.Sc_Descripcion, "
        + "   PDA_Salida_Detalle.Al_Cve_Almacen + ' - ' + Almacen.Al_Descripcion, "
        + "   PDA_Salida.Pd_Folio, "
        + "   PDA_Salida.Es_Cve_Estado ";
}

std::string detalleSalida(const std::string& salidaTexto)
{
    const std::string grupo = "Al_Cve_Almacen, Sc_Cve_Sucursal, Ua_Cve_Ubicacion_Almacen, Pd_ID, Pr_Cve_Producto, "
                              "Tl_Cve_Talla, Cl_Cve_Color, Sa_Lote ";
    return "SELECT " + grupo + ", SUM(Sa_Cantidad_1) AS Sa_Cantidad_1 FROM PDA_Salida_Detalle WHERE Sa_Folio = '" +
           db::quoted(salidaTexto) + "' GROUP BY " + grupo +
           "ORDER BY Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color, Ua_Cve_Ubicacion_Almacen ";
}

} // namespace tesmira::vn003::consultas

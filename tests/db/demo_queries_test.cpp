// The screen's SELECT statements, built as the screen builds them, run through the dialect
// layer on the demo company: the rows are those SQL Server returns for the same data.
#include "db/Connection.h"
#include "db/Schema.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace tesmira::db {
namespace {

// The screen concatenates its fragments without separators; the raw strings below keep one
// fragment per line for reading, and this joins them as the screen does.
std::string fragments(std::string_view lines)
{
    std::string out;
    for (char ch : lines)
        if (ch != '\n')
            out += ch;
    return out;
}

std::string replaced(std::string text, const std::map<std::string, std::string>& values)
{
    for (const auto& [key, value] : values)
        for (auto at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
            text.replace(at, key.size(), value);
    return text;
}

constexpr std::string_view pendingLinesSql = R"(SELECT 
   Pd_Comentario, 
   Pd_Referencia, 
   Sc_Cve_Sucursal, 
   Al_Cve_Almacen, 
   Cl_Cve_Cliente, 
   Vn_Cve_Vendedor, 
   Pedido.Pd_Condicion_Venta, 
   Pedido.Pr_Cve_Producto, 
   Pedido.Tl_Cve_Talla, 
   Pedido.Cl_Cve_Color, 
   Pedido.Pd_Sucursal_Inventario,
   Pedido.Pd_Almacen_Inventario,
   Pedido.Pd_Unidad_1, 
   Pedido.Pd_Unidad_Control_1, 
   Pedido.Pd_Unidad_Control_2, 
   Pedido.Pd_Unidad_Costo, 
   Pedido.Pr_Folio, 
   Pedido.Pd_Concepto, 
   Pedido.Pd_Cuota_Fija, 
   Pedido.Pd_Precio_Lista, 
   Pedido.Pd_Precio_Lista_Importe, 
   Pedido.Pd_Precio_Neto_Importe, 
   Pedido.Pd_Descuento_Importe, 
   Pedido.Pd_Descuento_Factor, 
   Pedido.Pd_Precio_Descontado, 
   Pedido.Pd_Precio_Descontado_Importe, 
   Pedido.Pd_Impuesto_Importe, 
   Pedido.Pd_Impuesto_Factor, 
   Pedido.Pd_Precio_Neto, 
   Mn_Cve_Moneda, 
   Pedido.Es_Cve_Estado, 
   Pd_Sin_Cargo,Pedido.Pd_ID, 
   ISNULL(Condicion_Venta.Cv_Controlar_Anticipo_Pedido,'') as Cv_Controlar_Anticipo_Pedido, 
   Pd_Descuento_Global_Factor, 
   sum(Pd_Cantidad_1) - isnull(Remision.Rm_Cantidad_1,0) as Pd_Cantidad_1 , 
   sum(Pd_Cantidad_Control_1) - isnull(Remision.Rm_Cantidad_Control_1,0) as Pd_Cantidad_Control_1, 
   sum(Pd_Cantidad_Control_2) - isnull(Remision.Rm_Cantidad_Control_2,0) as Pd_Cantidad_Control_2, 
   sum(Pd_Cantidad_Costo) - isnull(Remision.Rm_Cantidad_Costo,0) as Pd_Cantidad_Costo 
FROM Pedido 
   LEFT JOIN Condicion_Venta on Condicion_Venta.Cv_Cve_Condicion_Venta = Pedido.Pd_Condicion_Venta 
   LEFT JOIN (
    SELECT 
       Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto,
       sum(Rm_Cantidad_1) as Rm_Cantidad_1,
       sum(Rm_Cantidad_Control_1) as Rm_Cantidad_Control_1,
       sum(Rm_Cantidad_Control_2) as Rm_Cantidad_Control_2,
       sum(Rm_Cantidad_Costo) As Rm_Cantidad_Costo 
      FROM Remision where Rm_Documento = '{folio}' and Rm_Tabla = 'PEDIDO' and Es_Cve_Estado <> 'CA' 
      GROUP BY Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto 
) Remision on Remision.Pr_Cve_Producto = Pedido.Pr_Cve_Producto and Remision.Tl_Cve_Talla = Pedido.Tl_Cve_Talla and Remision.Cl_Cve_Color = Pedido.Cl_Cve_Color and Remision.Rm_Concepto = Pedido.Pd_Concepto 
WHERE 
   pedido.pd_folio = '{folio}' and 
   Pedido.Es_Cve_Estado <> 'BO'  AND 
   pedido.Sc_Cve_Sucursal like '%{branch}%' 
GROUP BY 
   Remision.Rm_Cantidad_1, 
   Remision.Rm_Cantidad_Control_1, 
   Remision.Rm_Cantidad_Control_2, 
   Remision.Rm_Cantidad_Costo, 
   Condicion_Venta.Cv_Controlar_Anticipo_Pedido, 
   Pd_Comentario, 
   Pd_Referencia, 
   Pr_Folio, 
   Pd_Concepto, 
   Sc_Cve_Sucursal, 
   Al_Cve_Almacen, 
   Cl_Cve_Cliente, 
   Vn_Cve_Vendedor, 
   Pd_Condicion_Venta, 
   Pedido.Pd_Cuota_Fija, 
   Pedido.Pd_Precio_Lista, 
   Pedido.Pd_Precio_Lista_Importe, 
   Pedido.Pd_Descuento_Importe, 
   Pedido.Pd_Precio_Descontado, 
   Pedido.Pd_Precio_Descontado_Importe, 
   Pedido.Pd_Precio_Neto_Importe, 
   Pedido.Pr_Cve_Producto, 
   Pedido.Tl_Cve_Talla, 
   Pedido.Cl_Cve_Color, 
   Pedido.Pd_Sucursal_Inventario,
   Pedido.Pd_Almacen_Inventario,
   Pd_Unidad_1, 
   Pd_Unidad_Control_1, 
   Pd_Unidad_Control_2, 
   Pd_Unidad_Costo, 
   Pd_Descuento_Global_Factor, 
   Pd_Descuento_Factor, 
   Pedido.Pd_Impuesto_Importe, 
   Pd_Impuesto_Factor, 
   Pd_Precio_Neto, 
   Mn_Cve_Moneda, 
   Pedido.Es_Cve_Estado, 
   Pd_Sin_Cargo, Pedido.Pd_ID 
 ORDER BY Pedido.Pd_ID ASC 
)";

constexpr std::string_view stockLinesSql = R"(SELECT 
   Pd_ID,
   Pd_Comentario,
   Pd_Referencia,
   Sc_Cve_Sucursal,
   Al_Cve_Almacen,
   Pedido.Pd_Sucursal_Inventario,
   Pedido.Pd_Almacen_Inventario,
   Cl_Cve_Cliente,
   Vn_Cve_Vendedor,
   Pd_Condicion_Venta,
   Producto.Pr_Descripcion,
   Producto.Pr_Tipo_Producto,
   Pedido.Pr_Cve_Producto,
   Pedido.Tl_Cve_Talla,
   Pedido.Cl_Cve_Color,
   Producto.Pr_Maneja_Talla,
   Producto.Pr_Maneja_Color,
   Producto.Pr_Porcentaje_Variacion, 
   Talla.Tl_Descripcion, 
   Color.Cl_Descripcion, 
   Pd_Unidad_1,
   Pd_Unidad_Control_1,
   Pd_Unidad_Control_2,
   Pd_Unidad_Costo,
   Pr_Folio,
   Pd_Costo,
   Pd_Concepto,
   Pd_Cuota_Fija,
   Pd_Precio_Lista,
   Pd_Descuento_Factor,
   Pd_Precio_Descontado,
   Pd_Impuesto_Factor,
   Pd_Precio_Neto,
   Mn_Cve_Moneda,Pd_Sin_Cargo,
   Pedido.Es_Cve_Estado,
   Pd_Descuento_Global_Factor,
   Pd_Descuento_Global_Importe,
   SUM(Pd_Cantidad_1) - ISNULL(Remision.Rm_Cantidad_1,0) as Pd_Cantidad_1,
   SUM(Pd_Cantidad_Control_1) - ISNULL(Remision.Rm_Cantidad_Control_1,0) as Pd_Cantidad_Control_1,
   SUM(Pd_Cantidad_Control_2) - ISNULL(Remision.Rm_Cantidad_Control_2,0) as Pd_Cantidad_Control_2,
   SUM(Pd_Cantidad_Costo) - ISNULL(Remision.Rm_Cantidad_Costo,0) as Pd_Cantidad_Costo 
FROM Pedido 
   INNER JOIN Producto ON Producto.Pr_Cve_Producto = Pedido.Pr_Cve_Producto 
   LEFT JOIN Talla ON Talla.Tl_Cve_Talla = Pedido.Tl_Cve_Talla 
   LEFT JOIN Color ON Color.Cl_Cve_Color = Pedido.Cl_Cve_Color 
LEFT JOIN (
    SELECT Remision.Rm_Documento_ID, 
    Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto,
    sum(Rm_Cantidad_1) as Rm_Cantidad_1,
    sum(Rm_Cantidad_Control_1) as Rm_Cantidad_Control_1,
    sum(Rm_Cantidad_Control_2) as Rm_Cantidad_Control_2,
    sum(Rm_Cantidad_Costo) As Rm_Cantidad_Costo 
    From Remision where Rm_Documento = '{folio}' and Rm_Tabla = 'PEDIDO' and Es_Cve_Estado <> 'CA' 
    Group By Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto,Remision.Rm_Documento_ID 
) Remision on Remision.Pr_Cve_Producto = Pedido.Pr_Cve_Producto AND 
    Remision.Tl_Cve_Talla = Pedido.Tl_Cve_Talla AND
    Remision.Cl_Cve_Color = Pedido.Cl_Cve_Color AND 
    Remision.Rm_Concepto = Pedido.Pd_Concepto AND 
   Remision.Rm_Documento_ID = Pedido.Pd_ID 
WHERE Pd_Folio = '{folio}' AND Sc_Cve_Sucursal like '%{branch}%' 
GROUP BY 
   Remision.Rm_Cantidad_1,
   Remision.Rm_Cantidad_Control_1,
   Remision.Rm_Cantidad_Control_2,
   Remision.Rm_Cantidad_Costo,
   Pd_Comentario,
   Pd_Referencia,
   Pr_Folio,
   Pd_Concepto,
   Sc_Cve_Sucursal,
   Al_Cve_Almacen,
   Pedido.Pd_Sucursal_Inventario,
   Pedido.Pd_Almacen_Inventario,
   Cl_Cve_Cliente,
   Vn_Cve_Vendedor,
   Pd_Condicion_Venta,
   Producto.Pr_Tipo_Producto,
   Producto.Pr_Descripcion,
   Pedido.Pd_Cuota_Fija,
   Pedido.Pd_Precio_Lista,
   Pedido.Pd_Precio_Descontado,
   Pedido.Pr_Cve_Producto,
   Pedido.Tl_Cve_Talla,
   Producto.Pr_Maneja_Talla,
   Producto.Pr_Maneja_Color,
   Producto.Pr_Porcentaje_Variacion, 
   Talla.Tl_Descripcion, 
   Color.Cl_Descripcion, 
   Pedido.Cl_Cve_Color,
   Pd_ID,
   Pd_Unidad_1,
   Pd_Unidad_Control_1,
   Pd_Unidad_Control_2,
   Pd_Unidad_Costo,
   Pd_Costo,
   Pd_Descuento_Global_Factor,
   Pd_Descuento_Global_Importe,
   Pd_Descuento_Factor,
   Pd_Impuesto_Factor,
   Pd_Precio_Neto,
   Mn_Cve_Moneda, Pd_Sin_Cargo,
   Pedido.Es_Cve_Estado 
)";

constexpr std::string_view orderProductsSql = R"(SELECT DISTINCT(Pedido.Pr_Cve_Producto) as PRODUCTO, 
   Producto.Pr_Descripcion as DESCRIPCION, 
   sum(Pd_Cantidad_1) - isnull(Remision.Rm_Cantidad_1,0) AS CANTIDAD, 
 ''  
FROM Pedido 
   INNER JOIN Producto ON Pedido.Pr_Cve_Producto = Producto.Pr_Cve_Producto 
   LEFT JOIN (
    SELECT 
    Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto,
    sum(Rm_Cantidad_1) as Rm_Cantidad_1,
    sum(Rm_Cantidad_Control_1) as Rm_Cantidad_Control_1,
    sum(Rm_Cantidad_Control_2) as Rm_Cantidad_Control_2,
    sum(Rm_Cantidad_Costo) As Rm_Cantidad_Costo 
    FROM Remision where Rm_Documento = '{folio}' and Rm_Tabla = 'PEDIDO' AND Rm_Folio <> '{note}' and Es_Cve_Estado <> 'CA' 
    GROUP BY Pr_Cve_Producto,Tl_Cve_Talla,Cl_Cve_Color, Rm_Concepto 
) Remision on Remision.Pr_Cve_Producto = Pedido.Pr_Cve_Producto and 
       Remision.Tl_Cve_Talla = Pedido.Tl_Cve_Talla and Remision.Cl_Cve_Color = Pedido.Cl_Cve_Color and 
       Remision.Rm_Concepto = Pedido.Pd_Concepto 
WHERE Pedido.Pd_Folio = '{folio}'
GROUP BY Pd_Cantidad_1,  isnull(Remision.Rm_Cantidad_1,0), Pedido.Pr_Cve_Producto, Producto.Pr_Descripcion 
HAVING ( sum(Pd_Cantidad_1) - isnull(Remision.Rm_Cantidad_1,0) ) > 0 
)";

constexpr std::string_view dispatchLookupSql = R"(SELECT PDA_Salida.Sa_Folio AS CLAVE, 
   PDA_Salida.Sa_Fecha AS FECHA, 
   PDA_Salida_Detalle.Sc_Cve_Sucursal + ' - ' + Sucursal.Sc_Descripcion AS SUCURSAL, 
   PDA_Salida_Detalle.Al_Cve_Almacen + ' - ' + Almacen.Al_Descripcion AS ALMACEN, 
   PDA_Salida.Pd_Folio AS PEDIDO, 
   PDA_Salida.Es_Cve_Estado AS ESTADO 
FROM PDA_Salida 
   INNER JOIN PDA_Salida_Detalle ON PDA_Salida_Detalle.Sa_Folio = PDA_Salida.Sa_Folio 
   INNER JOIN Sucursal ON Sucursal.Sc_Cve_Sucursal = PDA_Salida_Detalle.Sc_Cve_Sucursal 
   INNER JOIN Almacen ON Almacen.Sc_Cve_Sucursal = PDA_Salida_Detalle.Sc_Cve_Sucursal AND 
       Almacen.Al_Cve_Almacen = PDA_Salida_Detalle.Al_Cve_Almacen 
WHERE Sucursal.Sc_Descripcion LIKE {filter} AND 
   Almacen.Al_Descripcion LIKE {filter} AND 
   Sucursal.Sc_Cve_Sucursal = '{branch}' AND 
   Almacen.Al_Cve_Almacen = '{warehouse}' AND 
   (PDA_Salida.Es_Cve_Estado = 'FN' 
{own}   )
GROUP BY PDA_Salida.Sa_Folio, 
   PDA_Salida.Sa_Fecha, 
   PDA_Salida_Detalle.Sc_Cve_Sucursal + ' - ' + Sucursal.Sc_Descripcion, 
   PDA_Salida_Detalle.Al_Cve_Almacen + ' - ' + Almacen.Al_Descripcion, 
   PDA_Salida.Pd_Folio, 
   PDA_Salida.Es_Cve_Estado 
)";

constexpr std::string_view dispatchLinesSql = R"(SELECT Al_Cve_Almacen, 
   Sc_Cve_Sucursal, 
   Ua_Cve_Ubicacion_Almacen, 
   Pd_ID, 
   Pr_Cve_Producto, 
   Tl_Cve_Talla, 
   Cl_Cve_Color, 
   Sa_Lote, 
   SUM(Sa_Cantidad_1) AS Sa_Cantidad_1 
FROM PDA_Salida_Detalle 
WHERE Sa_Folio = '{dispatch}' 
GROUP BY Al_Cve_Almacen, 
   Sc_Cve_Sucursal, 
   Ua_Cve_Ubicacion_Almacen, 
   Pd_ID, 
   Pr_Cve_Producto, 
   Tl_Cve_Talla, 
   Cl_Cve_Color, 
   Sa_Lote 
ORDER BY Pr_Cve_Producto, 
   Tl_Cve_Talla, 
   Cl_Cve_Color, 
   Ua_Cve_Ubicacion_Almacen 
)";

constexpr std::string_view invoiceOfNoteSql =
    "SELECT TOP 1 Vn_Folio, isnull((SELECT top 1Fc_Factura FROM Factura WHERE Factura.Es_Cve_Estado <> 'CA' AND "
    "    Factura.Fc_Tabla = 'VENTA' AND          Factura.Fc_Documento = Vn_Folio),'') as FC FROM Venta "
    "WHERE Vn_Tabla = 'REMISION' AND    Es_Cve_Estado <> 'CA' AND    Vn_Documento = '{note}' ";

constexpr std::string_view invoiceableNoteSql =
    "SELECT Rm_Folio FROM Remision_Encabezado WHERE    Rm_Folio = '{note}' AND    Rm_Facturado = 'NO' AND "
    "   Rm_Documento NOT IN (       SELECT Pd_Folio        FROM Pedido_Encabezado "
    "       WHERE Es_Cve_Estado IN ('FA', 'FR') AND Pd_Estado_Proceso NOT IN ('FA', 'FR')) AND "
    "   Rm_Documento NOT IN (           SELECT CASE WHEN Vn_Pedido = '' THEN Vn_Documento ELSE Vn_Pedido END "
    "           FROM Venta_Encabezado            WHERE (Vn_Tabla = 'PEDIDO' OR Vn_Pedido <> '') AND Es_Cve_Estado <> 'CA')";

class DemoQueries : public ::testing::Test {
protected:
    void SetUp() override { createDemo(c); }

    Recordset run(std::string_view sql, const std::map<std::string, std::string>& values = {})
    {
        return c.Execute(replaced(fragments(sql), values));
    }
    // Each row's key column → the chosen column's number.
    std::map<std::string, double> byKey(Recordset rs, const char* key, const char* column)
    {
        std::map<std::string, double> out;
        for (; !rs.Eof(); rs.MoveNext())
            out[rs.Fields(key).toString()] = rs.Fields(column).toDouble();
        return out;
    }
    std::vector<std::string> column(Recordset rs, const char* name)
    {
        std::vector<std::string> out;
        for (; !rs.Eof(); rs.MoveNext())
            out.push_back(rs.Fields(name).toString());
        return out;
    }

    Connection c{":memory:"};
};

using Pending = std::map<std::string, double>;

// Pending quantity = ordered minus what live notes delivered for the same product, size,
// colour and concept; a cancelled note does not count and 'BO' lines never come back.
TEST_F(DemoQueries, PendingLinesOfAnOrder)
{
    struct Case {
        const char* name;
        std::string folio, branch;
        Pending unit1, control2;
    };
    const std::vector<Case> cases = {
        {"partly delivered, cancelled note not counted", "P0003", "", {{"0001", 12}, {"0002", 0}, {"0003", 1}},
         {{"0001", 12}, {"0002", 0}, {"0003", 1}}},
        {"folio typed in lower case", "p0003", "", {{"0001", 12}, {"0002", 0}, {"0003", 1}},
         {{"0001", 12}, {"0002", 0}, {"0003", 1}}},
        {"fresh order without its BO line", "P0001", "",
         {{"0001", 10}, {"0002", 5}, {"0003", 4}, {"0004", 2}, {"0005", 1}, {"0006", 1}, {"0008", 1}},
         {{"0001", 10}, {"0002", 60}, {"0003", 76}, {"0004", 2}, {"0005", 1}, {"0006", 1}, {"0008", 1}}},
        {"user bound to the order's branch", "P0010", "02", {{"0001", 3}}, {{"0001", 3}}},
        {"user bound to another branch", "P0010", "01", {}, {}},
        {"folio that does not exist", "P9999", "", {}, {}},
    };
    for (const auto& k : cases) {
        const std::map<std::string, std::string> values = {{"{folio}", k.folio}, {"{branch}", k.branch}};
        EXPECT_EQ(byKey(run(pendingLinesSql, values), "Pd_ID", "Pd_Cantidad_1"), k.unit1) << k.name;
        EXPECT_EQ(byKey(run(pendingLinesSql, values), "Pd_ID", "Pd_Cantidad_Control_2"), k.control2) << k.name;
    }
}

TEST_F(DemoQueries, PendingLinesComeInLineOrderWithTheirHeaderData)
{
    const std::map<std::string, std::string> p0001 = {{"{folio}", "P0001"}, {"{branch}", ""}};
    EXPECT_EQ(column(run(pendingLinesSql, p0001), "Pd_ID"),
              (std::vector<std::string>{"0001", "0002", "0003", "0004", "0005", "0006", "0008"}));
    Recordset rs = run(pendingLinesSql, p0001);
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields("Es_Cve_Estado").toString(), "AC");
    EXPECT_EQ(rs.Fields("Cl_Cve_Cliente").toString(), "C0001");
    EXPECT_EQ(rs.Fields("Al_Cve_Almacen").toString(), "01") << "a warehouse of digits stays text";
    EXPECT_EQ(rs.Fields("Cv_Controlar_Anticipo_Pedido").toString(), "NO");
    EXPECT_DOUBLE_EQ(rs.Fields("Pd_Precio_Neto_Importe").toDouble(), 2610.0);
    while (!rs.Eof() && rs.Fields("Pd_ID").toString() != "0008")
        rs.MoveNext();
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields("Pd_Concepto").toString(), "Flete a bodega Caucel");
}

// The stock-only loader matches deliveries per order line and keeps 'BO' lines.
TEST_F(DemoQueries, StockOnlyLinesOfAnOrder)
{
    EXPECT_EQ(byKey(run(stockLinesSql, {{"{folio}", "P0003"}, {"{branch}", ""}}), "Pd_ID", "Pd_Cantidad_1"),
              (Pending{{"0001", 12}, {"0002", 0}, {"0003", 1}}));
    Recordset all = run(stockLinesSql, {{"{folio}", "P0001"}, {"{branch}", ""}});
    EXPECT_EQ(all.rowCount(), 8u) << "the BO line comes back here";
    const auto costs = byKey(run(stockLinesSql, {{"{folio}", "P0001"}, {"{branch}", ""}}), "Pd_ID", "Pd_Costo");
    EXPECT_DOUBLE_EQ(costs.at("0002"), 65.0);
    Recordset shirt = c.Execute(
        "SELECT Tl_Descripcion, Cl_Descripcion, Pd_Descuento_Global_Importe FROM (" +
        replaced(fragments(stockLinesSql), {{"{folio}", "P0008"}, {"{branch}", ""}}) + ") x WHERE Pd_ID = '0001'");
    ASSERT_FALSE(shirt.Eof());
    EXPECT_EQ(shirt.Fields("Tl_Descripcion").toString(), "Grande");
    EXPECT_EQ(shirt.Fields("Cl_Descripcion").toString(), "Negro");
    EXPECT_DOUBLE_EQ(shirt.Fields("Pd_Descuento_Global_Importe").toDouble(), 125.0) << "5 % of 2,500";
}

// Blind capture's look-up: only products with something pending, not counting the note on screen.
TEST_F(DemoQueries, OrderProductLookUp)
{
    EXPECT_EQ(byKey(run(orderProductsSql, {{"{folio}", "P0003"}, {"{note}", ""}}), "PRODUCTO", "CANTIDAD"),
              (Pending{{"CAM001", 12}, {"TAL001", 1}}));
    EXPECT_EQ(byKey(run(orderProductsSql, {{"{folio}", "P0003"}, {"{note}", "R0001"}}), "PRODUCTO", "CANTIDAD"),
              (Pending{{"ACE001", 2}, {"CAM001", 20}, {"TAL001", 1}}));
}

// The two sums behind CantidadPendiente for one product, size and colour.
TEST_F(DemoQueries, OrderedAndDeliveredOfOneProduct)
{
    const auto sum = [&](const std::string& sql) { return c.Execute(sql).Fields("Cantidad").toDouble(); };
    EXPECT_DOUBLE_EQ(sum("SELECT SUM(Pd_Cantidad_Control_1) as Cantidad, Pd_Unidad_Control_1 as Unidad FROM Pedido "
                         "WHERE    Pd_Folio = 'P0003' AND    Tl_Cve_Talla = 'CH' AND    Cl_Cve_Color = 'BL' AND "
                         "   Pr_Cve_Producto = 'CAM001' AND    Es_Cve_Estado <> 'BA' GROUP BY Pd_Unidad_Control_1"),
                     20.0);
    EXPECT_DOUBLE_EQ(sum("SELECT SUM(Rm_Cantidad_Control_2) as Cantidad, Rm_Unidad_Control_2 as Unidad FROM Remision "
                         "WHERE    Rm_Tabla = 'PEDIDO' AND    Rm_Documento = 'P0003' AND    Tl_Cve_Talla = 'CH' AND "
                         "   Cl_Cve_Color = 'BL' AND    Pr_Cve_Producto = 'CAM001' AND "
                         "   Es_Cve_Estado <> 'BA' and Es_Cve_Estado <> 'CA'GROUP BY Rm_Unidad_Control_2"),
                     8.0);
}

// Order folio entry: delivery orders, the handheld tables, the finished dispatch.
TEST_F(DemoQueries, OrderFolioPreChecks)
{
    const auto deliveryOrders = [&](const std::string& folio) {
        return c.Execute("SELECT TOP 1.* FROM Orden_Entrega WHERE Oe_Tabla = 'PEDIDO' AND    Oe_documento = '" + folio
                         + "' AND    Es_Cve_Estado <> 'CA'")
            .rowCount();
    };
    EXPECT_EQ(deliveryOrders("P0002"), 1u) << "live delivery order";
    EXPECT_EQ(deliveryOrders("P0004"), 0u) << "only a cancelled delivery order";
    EXPECT_EQ(deliveryOrders("P0001"), 0u);

    EXPECT_EQ(c.Execute("SELECT 'EXISTE' FROM sysobjects WHERE sysobjects.Name = 'PDA_SALIDA' AND Type = 'U'")
                  .Fields(size_t{0})
                  .toString(),
              "EXISTE");
    EXPECT_EQ(column(c.Execute("SELECT * FROM PDA_Salida WHERE Pd_Folio = 'P0008' AND    Es_Cve_Estado = 'FN' "),
                     "Sa_Folio"),
              (std::vector<std::string>{"S0001"}))
        << "the dispatch still being picked is not taken";
}

TEST_F(DemoQueries, DispatchLookUpAndLines)
{
    // The pick list fills the two '?' description filters; here they let everything through.
    std::map<std::string, std::string> values = {
        {"{branch}", "01"}, {"{warehouse}", "02"}, {"{filter}", "'%'"}, {"{own}", ""}};
    EXPECT_EQ(column(run(dispatchLookupSql, values), "CLAVE"), (std::vector<std::string>{"S0001"}));
    values["{own}"] = "   OR PDA_Salida.Sa_Folio = 'S0003' ";
    Recordset withOwn = run(dispatchLookupSql, values);
    EXPECT_EQ(column(run(dispatchLookupSql, values), "CLAVE"), (std::vector<std::string>{"S0001", "S0003"}))
        << "a closed dispatch is offered only when it is the note's own";
    ASSERT_FALSE(withOwn.Eof());
    EXPECT_EQ(withOwn.Fields("SUCURSAL").toString(), "01 - Matriz Mérida");
    EXPECT_EQ(withOwn.Fields("ALMACEN").toString(), "02 - CEDIS Mérida");

    EXPECT_EQ(column(run(dispatchLinesSql, {{"{dispatch}", "S0001"}}), "Ua_Cve_Ubicacion_Almacen"),
              (std::vector<std::string>{"0101", "0102", "0201"}))
        << "one row per order line, location and lot, by product then location";
    EXPECT_EQ(column(run(dispatchLinesSql, {{"{dispatch}", "S0001"}}), "Sa_Lote"),
              (std::vector<std::string>{"", "", "L-2601"}));
    EXPECT_EQ(byKey(run(dispatchLinesSql, {{"{dispatch}", "S0001"}}), "Ua_Cve_Ubicacion_Almacen", "Sa_Cantidad_1"),
              (Pending{{"0101", 6}, {"0102", 4}, {"0201", 6}}));
}

// Calling up a saved note: its rows, whether a live sale and invoice exist, invoiceability.
TEST_F(DemoQueries, SavedNotesAndTheirInvoices)
{
    EXPECT_EQ(c.Execute("SELECT * FROM Remision WHERE Rm_Folio = 'R0003' and Rm_Tabla = 'PEDIDO' ").rowCount(), 3u);

    struct Case {
        const char* name;
        const char* note;
        bool sold;
        const char* invoice;
        bool invoiceable;
    };
    const std::vector<Case> cases = {
        {"invoiced note", "R0003", true, "A0001", false},
        {"sale cancelled: counts as not sold", "R0001", false, "", true},
        {"note in a closed period, never sold", "R0004", false, "", true},
        {"folio of nothing", "R9999", false, "", false},
    };
    for (const auto& k : cases) {
        Recordset sale = run(invoiceOfNoteSql, {{"{note}", k.note}});
        ASSERT_EQ(!sale.Eof(), k.sold) << k.name;
        if (k.sold) {
            EXPECT_EQ(sale.Fields("Vn_Folio").toString(), "V0001") << k.name;
            EXPECT_EQ(sale.Fields("FC").toString(), k.invoice) << k.name;
        }
        EXPECT_EQ(!run(invoiceableNoteSql, {{"{note}", k.note}}).Eof(), k.invoiceable) << k.name;
    }
}

// Customer header data and the printable delivery address.
TEST_F(DemoQueries, CustomerAndDeliveryAddress)
{
    Recordset customer = c.Execute("SELECT * FROM Cliente WHERE Cl_Cve_Cliente = 'c0003'");
    ASSERT_FALSE(customer.Eof());
    EXPECT_EQ(customer.Fields("Cl_Descripcion").toString(), "Comercial D'Ávila");

    const auto address = [&](const std::string& customerKey, const std::string& id) {
        Recordset rs = c.Execute("SELECT CASE De_Direccion_1 WHEN '' THEN "
                                 "   De_Calle + ' ' + De_Numero_Interior + ' ' + De_Numero_Exterior +' '+ "
                                 "De_Cruzamiento_1 +' ' + De_Cruzamiento_2 ELSE De_Direccion_1 END AS Domicilio "
                                 "From Direccion_Entrega WHERE De_Tabla = 'CLIENTE' AND De_Documento = '"
                                 + quoted(customerKey) + "' AND De_ID = '" + quoted(id) + "' ");
        return rs.Eof() ? std::string("<none>") : rs.Fields("Domicilio").toString();
    };
    EXPECT_EQ(address("C0001", "0001"), "Calle 60 Local 2 452 x 47 y 49") << "street parts joined by blanks";
    EXPECT_EQ(address("C0001", "0002"), "Periférico Poniente km 12, bodega 4, Mérida, Yuc.");
    EXPECT_EQ(address("C0003", "0001"), "<none>");
}

// Grid validation's look-ups: order line, storage location, stock in the location.
TEST_F(DemoQueries, LocationAndOrderLineChecks)
{
    Recordset line = c.Execute("SELECT * FROM Pedido WHERE Pd_Folio = 'P0003' AND  Pr_Cve_Producto = 'CAM001' AND Pd_ID = '0001'");
    ASSERT_FALSE(line.Eof());
    EXPECT_DOUBLE_EQ(line.Fields("Pd_Cantidad_1").toDouble(), 20.0);

    const auto location = [&](const std::string& key) {
        Recordset rs = c.Execute("SELECT     Ua_Tipo,    Ua_Producto_Maximo,    Ua_Producto,    Ua_Bloquear "
                                 "FROM Ubicacion_Almacen  WHERE    Sc_Cve_Sucursal = '01' AND "
                                 "   Al_Cve_Almacen = '02' AND    Ua_Cve_Ubicacion_Almacen = '"
                                 + key + "' AND    Es_Cve_Estado <> 'BA' ");
        return rs.Eof() ? std::string("none") : rs.Fields("Ua_Tipo").toString() + "/" + rs.Fields("Ua_Producto").toString()
                + "/" + rs.Fields("Ua_Bloquear").toString();
    };
    EXPECT_EQ(location("0101"), "00//NO");
    EXPECT_EQ(location("0301"), "01/TAL001/NO") << "reserved to one product";
    EXPECT_EQ(location("0901"), "00//SI") << "blocked";
    EXPECT_EQ(location("0902"), "none") << "withdrawn";

    const auto stocked = [&](const std::string& key, const std::string& size, const std::string& colour) {
        return !c.Execute("SELECT Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color FROM Existencia_Ubicacion WHERE "
                          "   Sc_Cve_Sucursal = '01' AND    Al_Cve_Almacen = '02' AND    Ua_Cve_Ubicacion_Almacen = '"
                          + key + "' AND    Pr_Cve_Producto = 'CAM001' AND    Tl_Cve_Talla = '" + size
                          + "' AND    Cl_Cve_Color = '" + colour
                          + "' AND    Ex_Cantidad_Control_1 > 0 AND    Ex_Cantidad_Control_2 > 0 ")
                    .Eof();
    };
    EXPECT_TRUE(stocked("0101", "GD", "NE"));
    EXPECT_FALSE(stocked("0101", "CH", "BL"));
}

// The save's writes on the order: open orders advance, others keep their state.
TEST_F(DemoQueries, OrderStateUpdatesTouchOnlyOpenOrders)
{
    c.BeginTrans();
    const auto advance = [&](const std::string& folio) {
        c.Execute("UPDATE Pedido SET    Es_Cve_Estado = 'RM',    Oper_Ult_Modif = 'ADMIN',    Fecha_Ult_Modif = "
                  "'2026-12-05 10:00:00' WHERE Pd_Folio = '" + folio + "' AND Es_Cve_Estado = 'AC' ");
        return c.rowsAffected();
    };
    EXPECT_EQ(advance("P0001"), 7) << "every open line, not the BO one";
    EXPECT_EQ(advance("P0003"), 0) << "an order already delivered in part keeps its state";
    c.Execute("UPDATE Pedido_Encabezado SET    Pd_Estado_Proceso = Es_Cve_Estado,    Es_Cve_Estado = 'CE', "
              "   Oper_Ult_Modif = 'ADMIN',    Fecha_Ult_Modif = '2026-12-05 10:00:00' WHERE Pd_Folio = 'P0003'");
    Recordset header = c.Execute("SELECT Es_Cve_Estado, Pd_Estado_Proceso, Fecha_Ult_Modif FROM Pedido_Encabezado WHERE Pd_Folio = 'P0003'");
    EXPECT_EQ(header.Fields("Es_Cve_Estado").toString(), "CE");
    EXPECT_EQ(header.Fields("Pd_Estado_Proceso").toString(), "RM");
    EXPECT_EQ(header.Fields("Fecha_Ult_Modif").toDate(), (Date{2026, 12, 5, 10, 0, 0}));
    c.RollbackTrans();
}

// Dimension rows written by the save and read back by folio and document kind.
TEST_F(DemoQueries, DimensionsOfADocument)
{
    c.Execute("INSERT INTO Documento_Proyecto(Dp_Tabla, Dp_Documento, Py_Cve_Proyecto) Values ('Remision', 'R0006', '0000000002')");
    c.Execute("INSERT INTO Documento_Lectura(Dl_Tabla, Dl_Documento, Dl_Lectura) Values ('Remision', 'R0006', '')");
    Recordset project = c.Execute("SELECT Py_Cve_Proyecto FROM Documento_Proyecto WHERE Dp_Documento = 'R0006' AND "
                                  " Dp_Tabla = 'Remision' AND  Dp_ID = '0000'");
    ASSERT_FALSE(project.Eof()) << "the line ID defaults to '0000'";
    EXPECT_EQ(project.Fields("Py_Cve_Proyecto").toString(), "0000000002");
    EXPECT_EQ(c.Execute("SELECT Cc_Cve_Centro_Costo FROM Documento_Centro_Costo WHERE Dc_Documento = 'P0001' AND Dc_Tabla = 'PEDIDO'")
                  .Fields(size_t{0})
                  .toString(),
              "000001");
    Recordset reading = c.Execute("SELECT Dl_Lectura FROM Documento_Lectura WHERE Dl_Documento = 'R0006'");
    ASSERT_FALSE(reading.Eof()) << "an empty reading is still a row";
    EXPECT_EQ(reading.Fields("Dl_Lectura").toString(), "");
}

TEST_F(DemoQueries, CatalogueDescriptionInLineOrder)
{
    EXPECT_EQ(column(c.Execute("SELECT Pd_Descripcion FROM Producto_Descripcion WHERE Pr_Cve_Producto = 'CAM001' ORDER BY Pd_ID"),
                     "Pd_Descripcion"),
              (std::vector<std::string>{"Tela piqué 100 % algodón", "Cuello tejido y dos botones",
                                        "Bordado disponible bajo pedido"}));
}

} // namespace
} // namespace tesmira::db

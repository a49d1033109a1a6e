// Times the order loader's pending-lines SELECT, through the dialect layer, on one order of
// 1,000 / 5,000 / 20,000 lines that an earlier note partly delivered.
#include "generate.h"

#include "db/Connection.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using tesmira::db::Connection;

// The loader's statement; its fragments are joined without separators, as the screen does.
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

std::string pendingLines(const std::string& folio)
{
    std::string sql;
    for (char ch : pendingLinesSql)
        if (ch != '\n')
            sql += ch;
    for (auto at = sql.find("{folio}"); at != std::string::npos; at = sql.find("{folio}"))
        sql.replace(at, 7, folio);
    for (auto at = sql.find("{branch}"); at != std::string::npos; at = sql.find("{branch}"))
        sql.replace(at, 8, "");
    return sql;
}

void PendingLines(benchmark::State& state)
{
    Connection c(":memory:");
    const auto company = bench::generateCompany(c, static_cast<int>(state.range(0)));
    const std::string sql = pendingLines(company.orderFolio);
    if (c.Execute(sql).rowCount() != static_cast<size_t>(company.lines)) {
        state.SkipWithError("the pending-lines query does not answer one row per order line");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(c.Execute(sql).rowCount());
    state.SetItemsProcessed(state.iterations() * company.lines);
}
BENCHMARK(PendingLines)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

void GenerateCompany(benchmark::State& state)
{
    for (auto _ : state) {
        Connection c(":memory:");
        benchmark::DoNotOptimize(bench::generateCompany(c, static_cast<int>(state.range(0))).lines);
    }
}
BENCHMARK(GenerateCompany)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();

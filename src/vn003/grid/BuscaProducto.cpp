// Blind capture: a typed product key is looked up among the order's pending lines.
#include "base/VbConstants.h"
#include "db/Connection.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"
#include "vn003/loading/ConsultasCarga.h"

#include <array>

namespace tesmira::vn003 {

namespace {

// The order-line columns selected after the pending quantity, repeated in the GROUP BY.
constexpr std::array<const char*, 18> ColumnasPedido = {
    "Pedido.Pd_Precio_Lista",       "Pedido.Tl_Cve_Talla",         "Pedido.Cl_Cve_Color",
    "Pedido.Pd_ID",                 "Producto.Pr_Tipo_Producto",   "Pedido.Pd_Unidad_Costo",
    "Pedido.Pd_Cantidad_Costo",     "Pedido.Pd_Unidad_1",          "Pedido.Pd_Costo",
    "Pedido.Pd_Unidad_Control_1",   "Pedido.Pd_Cantidad_Control_2", "Pedido.Pd_Unidad_Control_2",
    "Pedido.Pr_Folio",              "Pedido.Pd_Descuento_Factor",  "Pedido.Pd_Descuento_Importe",
    "Pedido.Pd_Impuesto_Factor",    "Pedido.Pd_Impuesto_Importe",  "Pedido.Pd_Precio_Descontado",
};

std::string listaColumnasPedido()
{
    std::string lista;
    for (size_t i = 0; i < ColumnasPedido.size(); ++i)
        lista += std::string("   ") + ColumnasPedido[i] + (i + 1 < ColumnasPedido.size() ? ", " : " ");
    return lista;
}

// The typed product's pending line of the order (its first, if several are pending).
std::string consultaProductoPendiente(const std::string& folioTexto, const std::string& folioValor,
                                      const std::string& producto)
{
    return std::string() + "SELECT DISTINCT(Pedido.Pr_Cve_Producto) as Pr_Cve_Producto, " +
           "   Producto.Pr_Descripcion, " + "   sum(Pd_Cantidad_1) - isnull(Remision.Rm_Cantidad_1,0) AS CANTIDAD, " +
           listaColumnasPedido() + "FROM Pedido " +
           "   INNER JOIN Producto ON Pedido.Pr_Cve_Producto = Producto.Pr_Cve_Producto " +
           consultas::entregasPedido(folioTexto) + "WHERE Pedido.Pd_Folio = '" + db::quoted(folioValor) + "' AND " +
           "   Producto.Pr_Cve_Producto = '" + db::quoted(producto) + "' " + "GROUP BY " + "   Pd_Cantidad_1,  " +
           "   isnull(Remision.Rm_Cantidad_1,0), " + "   Pedido.Pr_Cve_Producto, " + "   Producto.Pr_Descripcion, " +
           listaColumnasPedido() + "HAVING ( sum(Pd_Cantidad_1) - isnull(Remision.Rm_Cantidad_1,0) ) > 0";
}

// The found order line into the current row, priced as the order priced it.
void CargaProductoPendiente(frmVN003& f, const db::Recordset& rs)
{
    auto cell = [&f](const char* columna) { return f.ssDetalle.col(columna); };
    auto campo = [&rs](const char* nombre) { return rs.Fields(nombre).toString(); };
    cell("Pr_Cve_Producto").setValue(campo("Pr_Cve_Producto"));
    cell("Rm_Sucursal_Inventario").setValue(f.txt_Sc_Cve_Sucursal.text());
    cell("Rm_Almacen_Inventario").setValue(f.txt_Al_Cve_Almacen.text());
    cell("Pr_Descripcion").setValue(campo("Pr_Descripcion"));
    cell("Tl_Cve_Talla").setValue(campo("Tl_Cve_Talla"));
    cell("Cl_Cve_Color").setValue(campo("Cl_Cve_Color"));
    cell("Tl_Descripcion").setValue(frmVN003::DescripcionTalla(cell("Tl_Cve_Talla").text()));
    cell("Cl_Descripcion").setValue(frmVN003::DescripcionColor(cell("Cl_Cve_Color").text()));
    cell("Unidad_1").setValue(campo("Pd_Unidad_1"));
    cell("Unidad_Control_1").setValue(campo("Pd_Unidad_Control_1"));
    cell("Unidad_Control_2").setValue(campo("Pd_Unidad_Control_2"));

    const std::string tipo = frmVN003::TextoTipoProducto(campo("Pr_Tipo_Producto"));
    if (!tipo.empty())
        cell("TIPO_PRODUCTO").setValue(tipo);
    if (tipo == "LOTE")
        cell("Lt_Cve_Lote").setValue("");
    if (tipo == "Serializado")
        cell("Sr_Cve_Serie").setValue("");

    if (campo("Pd_Unidad_Costo") == cell("Unidad_1").text()) {
        cell("Unidad_Costo").setValue(campo("Pd_Unidad_1"));
    } else {
        cell("Cantidad_Costo").setValue(rs.Fields("Pd_Cantidad_Control_2").toDouble());
        cell("Unidad_Costo").setValue(campo("Pd_Unidad_Control_2"));
    }
    cell("Costo").setValue(0.0);
    cell("Pr_Folio").setValue(campo("Pr_Folio"));
    cell("Precio_Lista").setValue(rs.Fields("Pd_Precio_Lista").toDouble());
    cell("Descuento_Factor").setValue(rs.Fields("Pd_Descuento_Factor").toDouble());
    cell("Precio_Descontado").setValue(rs.Fields("Pd_Precio_Descontado").toDouble());
    cell("Impuesto_Factor").setValue(rs.Fields("Pd_Impuesto_Factor").toDouble());

    const std::string producto = cell("Pr_Cve_Producto").text();
    const std::string unidad1 = cell("Unidad_1").text();
    cell("Factor_Conversion_U1").setValue(Utilerias().FactorConversion(producto, unidad1, unidad1));
    cell("Factor_Conversion_U2")
        .setValue(Utilerias().FactorConversion(producto, unidad1, cell("Unidad_Control_2").text()));
    cell("Factor_Conversion_UC").setValue(1.0); // no costing unit is ever chosen here
    cell("Redondear_Control2").setValue(!Utilerias().UnidadFraccionable(cell("Unidad_Control_2").text()));
    cell("Cubicado").setValue(Utilerias().UnidadCubicada(campo("Pd_Unidad_Control_2")));
    cell("Unidad_Costeo_1").setValue(campo("Pd_Unidad_Costo") == campo("Pd_Unidad_Control_1"));
    const std::string ampliada = Utilerias().DescripcionAmpliada("PEDIDO", f.txt_Pd_Folio.text(), campo("Pd_ID"));
    cell("DESCAMP").setValue(ampliada);
    cell("DESAMPR").setValue(ampliada);
}

} // namespace

void frmVN003::BuscaProducto(bool& encontrado)
{
    encontrado = false;
    try {
        Grid::Column producto = ssDetalle.col("Pr_Cve_Producto");
        producto.setValue(Utilerias().FormatoProducto(producto.text(), ""));
        TextoSQL = consultaProductoPendiente(txt_Pd_Folio.text(), txt_Pd_Folio.value().toString(), producto.text());
        db::Recordset rs = Sistema().Conexion().Execute(TextoSQL);
        if (rs.Eof())
            return;
        CargaProductoPendiente(*this, rs);
        rs.Close();
        encontrado = true;
    } catch (const std::exception& e) {
        encontrado = false;
        Sistema().Mensaje(e.what(), vb::vbCritical, "BuscaProducto()", this, "VN003", "ERR-ID:7500045");
    }
}

} // namespace tesmira::vn003

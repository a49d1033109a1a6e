#include "host/services/Permisos.h"

#include "base/Error.h"
#include "base/Text.h"
#include "db/Connection.h"
#include "host/services/Dialogos.h"
#include "host/services/ServiciosSql.h"
#include "host/services/Utilerias.h"

namespace tesmira::host {

namespace {

bool manejaAlmacen(Entorno& e, const char* column, const std::string& branch, const std::string& warehouse)
{
    return sql::esSi(sql::consulta(e.conexion,
                                   std::string("SELECT ") + column
                                       + " FROM Almacen WHERE Sc_Cve_Sucursal = ? AND Al_Cve_Almacen = ?",
                                   {branch, warehouse}));
}

// Size and colour "%" take them all; the others join `values` after branch, warehouse, product.
std::string filtroTallaColor(const std::string& size, const std::string& colour, std::vector<Value>& values)
{
    std::string where;
    if (size != "%") {
        where += " AND Tl_Cve_Talla = ?";
        values.emplace_back(size);
    }
    if (colour != "%") {
        where += " AND Cl_Cve_Color = ?";
        values.emplace_back(colour);
    }
    return where;
}

} // namespace

bool Permisos::ManejaTalla(const std::string& b, const std::string& w) const
{
    return manejaAlmacen(m_e, "Al_Maneja_Talla", b, w);
}

bool Permisos::ManejaColor(const std::string& b, const std::string& w) const
{
    return manejaAlmacen(m_e, "Al_Maneja_Color", b, w);
}

bool Permisos::ManejaLote(const std::string& b, const std::string& w) const
{
    return manejaAlmacen(m_e, "Al_Maneja_Lote", b, w);
}

bool Permisos::ManejaSerie(const std::string& b, const std::string& w) const
{
    return manejaAlmacen(m_e, "Al_Maneja_Serie", b, w);
}

bool Permisos::ManejaUbicacion(const std::string& b, const std::string& w) const
{
    return manejaAlmacen(m_e, "Al_Maneja_Ubicacion", b, w);
}

// Each stock row is kept in its own control unit; rows that cannot be converted to the unit
// asked add nothing and leave the reason in UltimoError. An empty unit answers as stored.
double Permisos::Existencia(const std::string& branch, const std::string& warehouse, const std::string& product,
                            const std::string& size, const std::string& colour, int controlNumber,
                            const std::string& unit) const
{
    if (controlNumber != 1 && controlNumber != 2)
        throw Error("Existencia: la unidad de control debe ser 1 o 2, no " + std::to_string(controlNumber));
    const std::string n = std::to_string(controlNumber);
    std::vector<Value> values{branch, warehouse, product};
    const std::string filtro = filtroTallaColor(size, colour, values);
    db::Recordset rs = m_e.conexion.Execute(
        "SELECT Ex_Unidad_Control_" + n + " AS Unidad, SUM(Ex_Cantidad_Control_" + n + ") AS Cantidad FROM Existencia "
        "WHERE Sc_Cve_Sucursal = ? AND Al_Cve_Almacen = ? AND Pr_Cve_Producto = ?" + filtro
        + " GROUP BY Ex_Unidad_Control_" + n, values);
    Utilerias utilerias(m_e);
    double total = 0;
    for (; !rs.Eof(); rs.MoveNext()) {
        const double factor = utilerias.FactorConversion(product, rs.Fields("Unidad").toString(), unit);
        if (factor == 0)
            m_ultimoError = utilerias.UltimoError();
        total += rs.Fields("Cantidad").toDouble() * factor;
    }
    return total;
}

// The unit cost kept per control unit 1; with several sizes or colours ("%") the average
// weighted by the quantity on hand. A unit asked converts the cost to it; 0 when none is known.
double Permisos::CostoProducto(const std::string& branch, const std::string& warehouse, const std::string& product,
                               const std::string& size, const std::string& colour, int, const std::string& unit) const
{
    std::vector<Value> values{branch, warehouse, product};
    const std::string filtro = filtroTallaColor(size, colour, values);
    db::Recordset rs = m_e.conexion.Execute(
        "SELECT Ex_Unidad_Control_1 AS Unidad, "
        "CASE WHEN SUM(Ex_Cantidad_Control_1) > 0 "
        "THEN SUM(Ex_Costo * Ex_Cantidad_Control_1) / SUM(Ex_Cantidad_Control_1) ELSE AVG(Ex_Costo) END AS Costo "
        "FROM Existencia WHERE Sc_Cve_Sucursal = ? AND Al_Cve_Almacen = ? AND Pr_Cve_Producto = ?" + filtro
        + " GROUP BY Ex_Unidad_Control_1", values);
    if (rs.Eof()) {
        m_ultimoError = "No hay existencia registrada del producto " + product;
        return 0;
    }
    Utilerias utilerias(m_e);
    // A cost per stock unit, asked per another unit: one asked unit holds factor stock units.
    const double factor = utilerias.FactorConversion(product, unit, rs.Fields("Unidad").toString());
    if (factor == 0)
        m_ultimoError = utilerias.UltimoError();
    return rs.Fields("Costo").toDouble() * factor;
}

void Permisos::ConsultaDisponibilidad(std::string& branch, std::string& warehouse, const std::string& product,
                                      const std::string& size, const std::string& colour) const
{
    db::Recordset rs = m_e.conexion.Execute(
        "SELECT e.Sc_Cve_Sucursal AS SUCURSAL, e.Al_Cve_Almacen AS ALMACEN, a.Al_Descripcion AS DESCRIPCION, "
        "SUM(e.Ex_Cantidad_Control_1) AS EXISTENCIA, e.Ex_Unidad_Control_1 AS UNIDAD "
        "FROM Existencia e INNER JOIN Almacen a ON a.Sc_Cve_Sucursal = e.Sc_Cve_Sucursal AND "
        "a.Al_Cve_Almacen = e.Al_Cve_Almacen WHERE e.Pr_Cve_Producto = " + sql::texto(product)
        + (size != "%" ? " AND e.Tl_Cve_Talla = " + sql::texto(size) : std::string())
        + (colour != "%" ? " AND e.Cl_Cve_Color = " + sql::texto(colour) : std::string())
        + " AND a.Es_Cve_Estado <> 'BA' GROUP BY e.Sc_Cve_Sucursal, e.Al_Cve_Almacen, a.Al_Descripcion, "
          "e.Ex_Unidad_Control_1 ORDER BY e.Sc_Cve_Sucursal, e.Al_Cve_Almacen");
    Lista lista;
    lista.titulo = "Disponibilidad de " + product;
    lista.columnas = rs.columns();
    for (const auto& row : rs.rows()) {
        std::vector<std::string> fila;
        for (const auto& v : row)
            fila.push_back(v.toString());
        lista.filas.push_back(std::move(fila));
    }
    const auto chosen = m_e.dialogos.eligeAlmacen(lista);
    if (!chosen)
        return;
    // Only a warehouse in service may supply the line.
    const Value state = sql::valor(m_e.conexion, "SELECT Es_Cve_Estado FROM Almacen WHERE Sc_Cve_Sucursal = "
                                                     + sql::texto(chosen->sucursal) + " AND Al_Cve_Almacen = "
                                                     + sql::texto(chosen->almacen));
    if (state.isNull() || sameKey(state.toString(), "BA")) {
        m_ultimoError = "El almacén " + chosen->sucursal + "/" + chosen->almacen + " no existe o está dado de baja";
        return;
    }
    branch = chosen->sucursal;
    warehouse = chosen->almacen;
}

} // namespace tesmira::host

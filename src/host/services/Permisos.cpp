#include "host/services/Permisos.h"

#include "base/Error.h"
#include "base/Text.h"
#include "db/Connection.h"
#include "host/services/Dialogos.h"
#include "host/services/ServiciosSql.h"
#include "host/services/Utilerias.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <string_view>
#include <unordered_map>

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

// A key as the database compares it: case and trailing blanks aside.
std::string clave(const std::string& product, const std::string& size, const std::string& colour)
{
    return lowerAscii(withoutTrailingBlanks(product)) + '\x1f' + lowerAscii(withoutTrailingBlanks(size)) + '\x1f' +
           lowerAscii(withoutTrailingBlanks(colour));
}

} // namespace

// One stock row (the key is the table's): its sums as the per-key statements compute them.
// Kept small, a 20,000-line order holds as many: the key's text lives in Leidas::claves and
// the units, which repeat, in Leidas::unidades.
struct Permisos::Fila {
    uint32_t clave, largo, unidad1, unidad2;
    double cantidad1, cantidad2, costo;
};

struct Permisos::Leidas {
    std::string branch, warehouse;
    std::string claves;
    std::vector<std::string> unidades;
    std::vector<Fila> filas; // by key

    std::string_view clave(const Fila& f) const { return std::string_view(claves).substr(f.clave, f.largo); }
};

Permisos::Permisos(Entorno& entorno) : m_e(entorno) {}

Permisos::~Permisos() = default;

Permisos::ExistenciasPedido::ExistenciasPedido(Permisos& permisos, const std::string& branch,
                                               const std::string& warehouse, const std::string& folio)
    : m_p(permisos)
{
    assert(!m_p.m_leidas && "one order's stock read at a time");
    // Grouped by the table's key, each group is the one row a per-key statement finds, summed
    // and averaged by the database as that statement would.
    db::Recordset rs = m_p.m_e.conexion.Execute(
        "SELECT Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color, Ex_Unidad_Control_1 AS Unidad_1, "
        "Ex_Unidad_Control_2 AS Unidad_2, SUM(Ex_Cantidad_Control_1) AS Cantidad_1, "
        "SUM(Ex_Cantidad_Control_2) AS Cantidad_2, "
        "CASE WHEN SUM(Ex_Cantidad_Control_1) > 0 "
        "THEN SUM(Ex_Costo * Ex_Cantidad_Control_1) / SUM(Ex_Cantidad_Control_1) ELSE AVG(Ex_Costo) END AS Costo "
        "FROM Existencia WHERE Sc_Cve_Sucursal = ? AND Al_Cve_Almacen = ? AND Pr_Cve_Producto IN "
        "(SELECT Pr_Cve_Producto FROM Pedido WHERE Pd_Folio = ?) "
        "GROUP BY Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color, Ex_Unidad_Control_1, Ex_Unidad_Control_2",
        {branch, warehouse, folio});
    auto l = std::make_unique<Leidas>();
    l->branch = branch;
    l->warehouse = warehouse;
    std::unordered_map<std::string, uint32_t> unidades;
    const auto unidad = [&](const std::string& u) {
        const auto [it, nueva] = unidades.emplace(u, static_cast<uint32_t>(l->unidades.size()));
        if (nueva)
            l->unidades.push_back(u);
        return it->second;
    };
    for (; !rs.Eof(); rs.MoveNext()) {
        const Value &p = rs.Fields(size_t{0}), &s = rs.Fields(1), &c = rs.Fields(2);
        if (!p.isText() || !s.isText() || !c.isText())
            continue;
        const std::string k = clave(p.toString(), s.toString(), c.toString());
        l->filas.push_back({static_cast<uint32_t>(l->claves.size()), static_cast<uint32_t>(k.size()),
                            unidad(rs.Fields(3).toString()), unidad(rs.Fields(4).toString()), rs.Fields(5).toDouble(),
                            rs.Fields(6).toDouble(), rs.Fields(7).toDouble()});
        l->claves += k;
    }
    const Leidas& leidas = *l;
    std::sort(l->filas.begin(), l->filas.end(),
              [&](const Fila& a, const Fila& b) { return leidas.clave(a) < leidas.clave(b); });
    // Two rows for one key as this side compares it: left to the database.
    std::vector<Fila> unicas;
    unicas.reserve(l->filas.size());
    for (size_t i = 0; i < l->filas.size();) {
        size_t j = i + 1;
        while (j < l->filas.size() && leidas.clave(l->filas[j]) == leidas.clave(l->filas[i]))
            ++j;
        if (j == i + 1)
            unicas.push_back(l->filas[i]);
        i = j;
    }
    l->filas = std::move(unicas);
    m_p.m_leidas = std::move(l);
}

Permisos::ExistenciasPedido::~ExistenciasPedido() { m_p.m_leidas.reset(); }

const Permisos::Fila* Permisos::leida(const std::string& branch, const std::string& warehouse,
                                      const std::string& product, const std::string& size,
                                      const std::string& colour) const
{
    if (!m_leidas || size == "%" || colour == "%" || branch != m_leidas->branch || warehouse != m_leidas->warehouse)
        return nullptr;
    const std::string k = clave(product, size, colour);
    const auto& filas = m_leidas->filas;
    const auto it = std::lower_bound(filas.begin(), filas.end(), k,
                                     [&](const Fila& f, const std::string& x) { return m_leidas->clave(f) < x; });
    return it != filas.end() && m_leidas->clave(*it) == k ? &*it : nullptr;
}

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
    Utilerias utilerias(m_e);
    double total = 0;
    const auto suma = [&](const std::string& stockUnit, double quantity) {
        const double factor = utilerias.FactorConversion(product, stockUnit, unit);
        if (factor == 0)
            m_ultimoError = utilerias.UltimoError();
        total += quantity * factor;
    };
    if (const Fila* f = leida(branch, warehouse, product, size, colour)) {
        suma(m_leidas->unidades[controlNumber == 1 ? f->unidad1 : f->unidad2],
             controlNumber == 1 ? f->cantidad1 : f->cantidad2);
        return total;
    }
    const std::string n = std::to_string(controlNumber);
    std::vector<Value> values{branch, warehouse, product};
    const std::string filtro = filtroTallaColor(size, colour, values);
    db::Recordset rs = m_e.conexion.Execute(
        "SELECT Ex_Unidad_Control_" + n + " AS Unidad, SUM(Ex_Cantidad_Control_" + n + ") AS Cantidad FROM Existencia "
        "WHERE Sc_Cve_Sucursal = ? AND Al_Cve_Almacen = ? AND Pr_Cve_Producto = ?" + filtro
        + " GROUP BY Ex_Unidad_Control_" + n, values);
    for (; !rs.Eof(); rs.MoveNext())
        suma(rs.Fields("Unidad").toString(), rs.Fields("Cantidad").toDouble());
    return total;
}

// The unit cost kept per control unit 1; with several sizes or colours ("%") the average
// weighted by the quantity on hand. A unit asked converts the cost to it; 0 when none is known.
double Permisos::CostoProducto(const std::string& branch, const std::string& warehouse, const std::string& product,
                               const std::string& size, const std::string& colour, int, const std::string& unit) const
{
    // A cost per stock unit, asked per another unit: one asked unit holds factor stock units.
    const auto porUnidad = [&](const std::string& stockUnit, double cost) {
        Utilerias utilerias(m_e);
        const double factor = utilerias.FactorConversion(product, unit, stockUnit);
        if (factor == 0)
            m_ultimoError = utilerias.UltimoError();
        return cost * factor;
    };
    if (const Fila* f = leida(branch, warehouse, product, size, colour))
        return porUnidad(m_leidas->unidades[f->unidad1], f->costo);
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
    return porUnidad(rs.Fields("Unidad").toString(), rs.Fields("Costo").toDouble());
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

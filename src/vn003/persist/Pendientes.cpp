#include "vn003/persist/Pendientes.h"

#include "base/Text.h"
#include "base/Vb.h"
#include "db/Connection.h"

namespace tesmira::vn003 {

namespace {

// Keys as the database compares them: ASCII case and trailing blanks do not count.
std::string clave(std::string_view texto) { return lowerAscii(withoutTrailingBlanks(texto)); }

std::string articulo(const std::string& producto, const std::string& talla, const std::string& color)
{
    return clave(producto) + '\x1f' + clave(talla) + '\x1f' + clave(color);
}

// The order's lines, each with its article's quantities and units in both controls, and
// whether the per-article sums count it (the engine's comparison decides).
const char* const kLineasPedido =
    "SELECT Pd_ID, Pd_Cantidad_1, CASE WHEN Es_Cve_Estado <> 'BA' THEN 1 ELSE 0 END, Pr_Cve_Producto, "
    "Tl_Cve_Talla, Cl_Cve_Color, Pd_Cantidad_Control_1, Pd_Unidad_Control_1, Pd_Cantidad_Control_2, "
    "Pd_Unidad_Control_2 FROM Pedido WHERE Pd_Folio = ?";
const char* const kLineasRemision =
    "SELECT Rm_ID, Rm_Cantidad_1, 1, Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color, Rm_Cantidad_Control_1, "
    "Rm_Unidad_Control_1, Rm_Cantidad_Control_2, Rm_Unidad_Control_2 FROM Remision WHERE Rm_Tabla = 'PEDIDO' AND "
    "Rm_Documento = ? AND Es_Cve_Estado <> 'BA' and Es_Cve_Estado <> 'CA'";
// An article on several rows is summed by the engine, in the order the key's index keeps the
// rows, as the per-row statement sums it. The units' extremes tell an article of one unit
// from one that mixes them.
const char* const kSumaPedido =
    "SELECT SUM(Pd_Cantidad_Control_1), MIN(Pd_Unidad_Control_1), MAX(Pd_Unidad_Control_1), "
    "SUM(Pd_Cantidad_Control_2), MIN(Pd_Unidad_Control_2), MAX(Pd_Unidad_Control_2) FROM Pedido WHERE "
    "Pd_Folio = ? AND Es_Cve_Estado <> 'BA' AND Pr_Cve_Producto = ? AND Tl_Cve_Talla = ? AND Cl_Cve_Color = ?";
const char* const kSumaRemision =
    "SELECT SUM(Rm_Cantidad_Control_1), MIN(Rm_Unidad_Control_1), MAX(Rm_Unidad_Control_1), "
    "SUM(Rm_Cantidad_Control_2), MIN(Rm_Unidad_Control_2), MAX(Rm_Unidad_Control_2) FROM Remision WHERE "
    "Rm_Tabla = 'PEDIDO' AND Rm_Documento = ? AND Es_Cve_Estado <> 'BA' and Es_Cve_Estado <> 'CA' AND "
    "Pr_Cve_Producto = ? AND Tl_Cve_Talla = ? AND Cl_Cve_Color = ?";

// Columns of a line read above.
enum : size_t { kId, kCantidad, kCuenta, kProducto, kTalla, kColor, kControl1 };

} // namespace

PendientesPedido::PendientesPedido(db::Connection& c, const std::string& pedido) : m_pedido(pedido)
{
    suma(c, kLineasPedido, kSumaPedido, m_pedido1, m_pedido2, true);
    suma(c, kLineasRemision, kSumaRemision, m_remision1, m_remision2, false);
}

void PendientesPedido::suma(db::Connection& c, const char* lineas, const char* sumaArticulo, Sumas& control1,
                            Sumas& control2, bool pedidas)
{
    // An article's first row stands for its sum (a sum of one value is that value); the
    // engine sums the articles seen on several rows.
    struct Articulo {
        std::string producto, talla, color;
        bool repetido = false;
    };
    std::unordered_map<std::string, Articulo> articulos;
    for (auto rs = c.Execute(lineas, {m_pedido}); !rs.Eof(); rs.MoveNext()) {
        if (pedidas)
            m_lineas.emplace(clave(rs.Fields(size_t{kId}).toString()),
                             Linea{rs.Fields(size_t{kProducto}).toString(), rs.Fields(size_t{kCantidad})});
        if (rs.Fields(size_t{kCuenta}).toInt() == 0)
            continue;
        std::string producto = rs.Fields(size_t{kProducto}).toString(), talla = rs.Fields(size_t{kTalla}).toString(),
                    color = rs.Fields(size_t{kColor}).toString();
        const std::string k = articulo(producto, talla, color);
        const auto [it, nuevo] = articulos.try_emplace(k);
        if (!nuevo) {
            it->second.repetido = true;
            continue;
        }
        it->second = {std::move(producto), std::move(talla), std::move(color), false};
        for (auto [sumas, primera] :
             {std::pair{&control1, size_t{kControl1}}, std::pair{&control2, size_t{kControl1 + 2}}}) {
            Suma& s = (*sumas)[k];
            s.cantidad = rs.Fields(primera).toDouble();
            s.unidad = rs.Fields(primera + 1).toString();
        }
    }
    for (const auto& [k, a] : articulos) {
        if (!a.repetido)
            continue;
        auto rs = c.Execute(sumaArticulo, {m_pedido, a.producto, a.talla, a.color});
        for (auto [sumas, primera] : {std::pair{&control1, size_t{0}}, std::pair{&control2, size_t{3}}}) {
            Suma& s = (*sumas)[k];
            s.cantidad = rs.Fields(primera).toDouble();
            s.unidad = rs.Fields(primera + 1).toString();
            // Which unit's group the per-row statement answers first is the engine's to say.
            s.variasUnidades = s.unidad != rs.Fields(primera + 2).toString();
        }
    }
}

const std::string& PendientesPedido::claveArticulo(const std::string& producto, const std::string& talla,
                                                  const std::string& color) const
{
    if (m_clave.empty() || producto != m_producto || talla != m_talla || color != m_color) {
        m_clave = articulo(producto, talla, color);
        m_producto = producto;
        m_talla = talla;
        m_color = color;
    }
    return m_clave;
}

bool PendientesPedido::pendiente(const std::string& pedido, const std::string& producto, const std::string& talla,
                                 const std::string& color, int control, float& cantidad, std::string& unidad) const
{
    const std::string& k = claveArticulo(producto, talla, color);
    if (!sameKey(pedido, m_pedido) || m_escritas.count(k))
        return false;
    const Sumas& pedidas = control == 1 ? m_pedido1 : m_pedido2;
    const Sumas& entregadas = control == 1 ? m_remision1 : m_remision2;
    const auto p = pedidas.find(k);
    const auto r = entregadas.find(k);
    if ((p != pedidas.end() && p->second.variasUnidades) || (r != entregadas.end() && r->second.variasUnidades))
        return false;
    // The same arithmetic as the statements' answer: a Single pending, less what was delivered.
    cantidad = 0;
    unidad.clear();
    if (p != pedidas.end()) {
        cantidad = static_cast<float>(vb::toSingle(p->second.cantidad));
        unidad = p->second.unidad;
    }
    if (r != entregadas.end())
        cantidad = static_cast<float>(cantidad - r->second.cantidad);
    return true;
}

bool PendientesPedido::pedida(const std::string& pedido, const std::string& producto, const std::string& id,
                              std::optional<Value>& cantidad) const
{
    if (!sameKey(pedido, m_pedido))
        return false;
    cantidad.reset();
    const auto it = m_lineas.find(clave(id));
    if (it != m_lineas.end() && sameKey(it->second.producto, producto))
        cantidad = it->second.cantidad;
    return true;
}

void PendientesPedido::Escrita(const std::string& producto, const std::string& talla, const std::string& color)
{
    m_escritas.insert(claveArticulo(producto, talla, color));
}

} // namespace tesmira::vn003

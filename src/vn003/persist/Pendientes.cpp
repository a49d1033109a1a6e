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

// Per article, both controls at once; grouped in the order the key's index keeps the rows.
// The units' extremes tell an article of one unit from one that mixes them.
const char* const kSumaPedido =
    "SELECT Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color, SUM(Pd_Cantidad_Control_1), MIN(Pd_Unidad_Control_1), "
    "MAX(Pd_Unidad_Control_1), SUM(Pd_Cantidad_Control_2), MIN(Pd_Unidad_Control_2), MAX(Pd_Unidad_Control_2) "
    "FROM Pedido WHERE Pd_Folio = ? AND Es_Cve_Estado <> 'BA' GROUP BY Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color";
const char* const kSumaRemision =
    "SELECT Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color, SUM(Rm_Cantidad_Control_1), MIN(Rm_Unidad_Control_1), "
    "MAX(Rm_Unidad_Control_1), SUM(Rm_Cantidad_Control_2), MIN(Rm_Unidad_Control_2), MAX(Rm_Unidad_Control_2) "
    "FROM Remision WHERE Rm_Tabla = 'PEDIDO' AND Rm_Documento = ? AND Es_Cve_Estado <> 'BA' and "
    "Es_Cve_Estado <> 'CA' GROUP BY Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color";

} // namespace

PendientesPedido::PendientesPedido(db::Connection& c, const std::string& pedido) : m_pedido(pedido)
{
    suma(c, kSumaPedido, m_pedido1, m_pedido2);
    suma(c, kSumaRemision, m_remision1, m_remision2);
    for (auto rs = c.Execute("SELECT Pd_ID, Pr_Cve_Producto, Pd_Cantidad_1 FROM Pedido WHERE Pd_Folio = ?", {pedido});
         !rs.Eof(); rs.MoveNext())
        m_lineas.emplace(clave(rs.Fields(size_t{0}).toString()),
                         Linea{rs.Fields(size_t{1}).toString(), rs.Fields(size_t{2})});
}

void PendientesPedido::suma(db::Connection& c, const char* sql, Sumas& control1, Sumas& control2)
{
    for (auto rs = c.Execute(sql, {m_pedido}); !rs.Eof(); rs.MoveNext()) {
        const std::string k =
            articulo(rs.Fields(size_t{0}).toString(), rs.Fields(size_t{1}).toString(), rs.Fields(size_t{2}).toString());
        for (auto [sumas, primera] : {std::pair{&control1, size_t{3}}, std::pair{&control2, size_t{6}}}) {
            Suma& s = (*sumas)[k];
            s.cantidad = rs.Fields(primera).toDouble();
            s.unidad = rs.Fields(primera + 1).toString();
            // Which unit's group the per-row statement answers first is the engine's to say.
            s.variasUnidades = s.unidad != rs.Fields(primera + 2).toString();
        }
    }
}

bool PendientesPedido::pendiente(const std::string& pedido, const std::string& producto, const std::string& talla,
                                 const std::string& color, int control, float& cantidad, std::string& unidad) const
{
    const std::string k = articulo(producto, talla, color);
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
    m_escritas.insert(articulo(producto, talla, color));
}

} // namespace tesmira::vn003

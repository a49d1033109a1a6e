// The loaders' shared reading of an order line and their per-load catalogue.
#include "vn003/loading/Catalogo.h"

#include "db/Connection.h"
#include "db/RecordsetRows.h"
#include "vn003/Publico.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace tesmira::vn003 {

namespace {

constexpr std::array kColumnasLinea{
    "Pd_ID",         "Pd_Sucursal_Inventario", "Pd_Almacen_Inventario", "Pr_Cve_Producto", "Tl_Cve_Talla",
    "Cl_Cve_Color",  "Pd_Concepto",            "Pd_Unidad_1",           "Pd_Unidad_Control_1",
    "Pd_Unidad_Control_2", "Pd_Unidad_Costo",  "Pr_Folio",              "Pd_Cantidad_1",
    "Pd_Cantidad_Control_1", "Pd_Cantidad_Control_2", "Pd_Cuota_Fija", "Pd_Precio_Lista",
    "Pd_Descuento_Factor", "Pd_Impuesto_Factor"};

// The product columns the per-row look-ups read, in this order.
constexpr std::array kColumnasProducto{"Pr_Descripcion", "Pr_Maneja_Talla", "Pr_Maneja_Color", "Pr_Tipo_Producto",
                                       "Pr_Porcentaje_Variacion"};

template <typename K, typename V, typename F>
const V& recordado(std::unordered_map<K, V>& memo, const K& clave, F&& pregunta)
{
    auto it = memo.find(clave);
    if (it == memo.end())
        it = memo.emplace(clave, pregunta()).first;
    return it->second;
}

} // namespace

namespace {

// A line's texts and numbers in the order they are packed.
template <typename L, typename F>
void camposLinea(L& l, F&& campo)
{
    for (auto* t : {&l.id, &l.sucursalInventario, &l.almacenInventario, &l.producto, &l.talla, &l.color, &l.concepto,
                    &l.unidad1, &l.unidadControl1, &l.unidadControl2, &l.unidadCosto, &l.prFolio})
        campo(*t);
    for (auto* n : {&l.cantidad1, &l.control1, &l.control2, &l.cuota, &l.precioLista, &l.descuentoFactor,
                    &l.impuestoFactor})
        campo(*n);
}

} // namespace

bool LineasPorClave::agrega(const std::string& clave, const LineaPedido& l)
{
    if (!m_inicio.emplace(clave, m_datos.size()).second)
        return false;
    size_t n = 0;
    camposLinea(l, [&](const auto& campo) {
        if constexpr (std::is_same_v<std::decay_t<decltype(campo)>, double>)
            n += sizeof campo;
        else
            n += sizeof(uint32_t) + campo.size();
    });
    const size_t inicio = m_datos.size();
    m_datos.resize(inicio + n);
    char* p = m_datos.data() + inicio;
    camposLinea(l, [&](const auto& campo) {
        if constexpr (std::is_same_v<std::decay_t<decltype(campo)>, double>) {
            std::memcpy(p, &campo, sizeof campo);
            p += sizeof campo;
        } else {
            const auto largo = static_cast<uint32_t>(campo.size());
            std::memcpy(p, &largo, sizeof largo);
            std::memcpy(p + sizeof largo, campo.data(), largo);
            p += sizeof largo + largo;
        }
    });
    return true;
}

bool LineasPorClave::busca(const std::string& clave, LineaPedido& l) const
{
    const auto it = m_inicio.find(clave);
    if (it == m_inicio.end())
        return false;
    const char* p = m_datos.data() + it->second;
    camposLinea(l, [&](auto& campo) {
        if constexpr (std::is_same_v<std::decay_t<decltype(campo)>, double>) {
            std::memcpy(&campo, p, sizeof campo);
            p += sizeof campo;
        } else {
            uint32_t n = 0;
            std::memcpy(&n, p, sizeof n);
            campo.assign(p + sizeof n, n);
            p += sizeof n + n;
        }
    });
    return true;
}

LectorLineas::LectorLineas(const db::Recordset& rs)
{
    for (const char* nombre : kColumnasLinea)
        m_col.push_back(rs.column(nombre));
}

LineaPedido LectorLineas::lee(const db::Recordset& rs) const
{
    auto texto = [&](size_t i) { return rs.Fields(m_col[i]).toString(); };
    auto numero = [&](size_t i) { return rs.Fields(m_col[i]).toDouble(); };
    LineaPedido l;
    l.id = texto(0);
    l.sucursalInventario = texto(1);
    l.almacenInventario = texto(2);
    l.producto = texto(3);
    l.talla = texto(4);
    l.color = texto(5);
    l.concepto = texto(6);
    l.unidad1 = texto(7);
    l.unidadControl1 = texto(8);
    l.unidadControl2 = texto(9);
    l.unidadCosto = texto(10);
    l.prFolio = texto(11);
    l.cantidad1 = numero(12);
    l.control1 = numero(13);
    l.control2 = numero(14);
    l.cuota = numero(15);
    l.precioLista = numero(16);
    l.descuentoFactor = numero(17);
    l.impuestoFactor = numero(18);
    return l;
}

void copiaLinea(frmVN003::PartidaPedido& p, const LineaPedido& l, double cantidad1, double control2)
{
    p.documentoId = l.id;
    p.producto = l.producto;
    p.talla = l.talla;
    p.color = l.color;
    p.unidad1 = l.unidad1;
    p.unidadControl1 = l.unidadControl1;
    p.unidadControl2 = l.unidadControl2;
    p.unidadCostoPedido = l.unidadCosto;
    if (p.unidad1 == p.unidadCostoPedido) {
        p.cantidadCosto = cantidad1;
        p.unidadCosto = p.unidad1;
    } else {
        p.cantidadCosto = control2;
        p.unidadCosto = p.unidadControl2;
    }
    p.costo = 0;
    p.cuota = l.cuota;
    p.prFolio = l.prFolio;
}

void importesPara(frmVN003::PartidaPedido& p, const LineaPedido& l, double cantidad)
{
    p.precioLista = l.precioLista;
    p.descuentoFactor = l.descuentoFactor;
    p.impuestoFactor = l.impuestoFactor;
    double extra1 = 0, extra2 = 0;
    Utilerias().CalculaImportes(cantidad, p.precioLista, p.precioListaImporte, p.descuentoFactor, p.descuentoImporte,
                                p.precioDescontado, p.precioDescontadoImporte, extra1, extra2, p.impuestoFactor,
                                p.impuestoImporte, p.precioNeto, p.precioNetoImporte, 5, p.cuota);
}

void cierraPartida(frmVN003::PartidaPedido& p, const LineaPedido& l, CatalogoCarga& catalogo)
{
    p.u1Desde = p.unidad1;
    p.u1Hasta = p.unidad1;
    p.u2Desde = p.unidad1;
    p.u2Hasta = p.unidadControl2;
    if (catalogo.unidadCubicada(p.unidadControl2) && l.cantidad1 != 0) {
        p.conFactorM3 = true;
        p.factorM3 = l.control2 / l.cantidad1;
    }
    p.descamp = catalogo.descripcionAmpliada("PEDIDO", p.documentoId);
}

CargaPendientes::CargaPendientes(frmVN003& f, const std::string& sql, const frmVN003::MensajesCargaPedido& mensajes)
    : m_memo(Sistema().Conexion())
{
    f.TextoSQL = sql;
    m_lineas = Sistema().Conexion().Execute(f.TextoSQL);
    if (!f.PreparaCargaPedido(m_lineas, mensajes))
        return;
    m_catalogo = CatalogoCarga::dePedido(f.txt_Pd_Folio.text());
    m_lector.emplace(m_lineas);
}

CatalogoCarga::CatalogoCarga(std::string folio, std::vector<std::string> tablas)
    : m_folio(std::move(folio)), m_tablas(std::move(tablas))
{
}

CatalogoCarga CatalogoCarga::dePedido(const std::string& folio)
{
    CatalogoCarga c(folio, {"PEDIDO"});
    c.lee("Pedido", "l.Pd_Folio = ?", "l.Pd_ID");
    return c;
}

CatalogoCarga CatalogoCarga::deRemision(const std::string& folio)
{
    CatalogoCarga c(folio, {"Remision", "REMISION2"});
    c.lee("Remision", "l.Rm_Folio = ? AND l.Rm_Tabla = 'PEDIDO'", "l.Rm_ID");
    return c;
}

// The document's lines (`l`, filtered by `donde` on the folio) joined to their product and, per
// table, to their extended description on the same terms the per-row look-ups use.
void CatalogoCarga::lee(const std::string& lineas, const std::string& donde, const std::string& id)
{
    std::string sql = "SELECT " + id + " AS Linea, Producto.Pr_Cve_Producto AS Producto_Clave";
    for (const char* columna : kColumnasProducto)
        sql += std::string(", Producto.") + columna;
    std::string joins;
    std::vector<Value> valores;
    for (size_t t = 0; t < m_tablas.size(); ++t) {
        const std::string d = "d" + std::to_string(t);
        sql += ", " + d + ".Dam_ID AS Clave_" + std::to_string(t) + ", " + d + ".Dam_Descripcion AS Descripcion_" +
               std::to_string(t);
        joins += "LEFT JOIN Descripcion_Ampliada " + d + " ON " + d + ".Dam_Tabla = ? AND " + d +
                 ".Dam_Documento = ? AND " + d + ".Dam_ID = " + id + " ";
        valores.insert(valores.end(), {m_tablas[t], m_folio});
    }
    valores.emplace_back(m_folio);
    sql += " FROM " + lineas + " l LEFT JOIN Producto ON Producto.Pr_Cve_Producto = l.Pr_Cve_Producto " + joins +
           "WHERE " + donde;
    db::Recordset rs = Sistema().Conexion().Execute(sql, valores);
    const size_t linea = rs.column("Linea"), clave = rs.column("Producto_Clave");
    std::vector<size_t> descripciones;
    for (size_t t = 0; t < m_tablas.size(); ++t)
        descripciones.push_back(rs.column("Clave_" + std::to_string(t)));
    std::vector<std::string> repetidas;
    for (; !rs.Eof(); rs.MoveNext()) {
        const size_t inicio = m_datos.size();
        // No description row answers null, as the per-row look-up does.
        for (const size_t c : descripciones)
            db::packValue(m_datos, rs.Fields(c).isNull() ? Value() : rs.Fields(c + 1));
        const bool conProducto = !rs.Fields(clave).isNull();
        m_datos += conProducto ? '\1' : '\0';
        for (size_t k = 0; conProducto && k < kColumnasProducto.size(); ++k)
            db::packValue(m_datos, rs.Fields(clave + 1 + k));
        if (!m_lineas.emplace(rs.Fields(linea).toString(), inicio).second)
            repetidas.push_back(rs.Fields(linea).toString());
    }
    m_datos.shrink_to_fit();
    // Two lines with one ID (never in a keyed table): those are asked per row.
    for (const std::string& r : repetidas)
        m_lineas.erase(r);
}

bool CatalogoCarga::producto(const std::string& id, std::vector<Value>& valores) const
{
    const auto it = m_lineas.find(id);
    if (it == m_lineas.end())
        return false;
    const char* p = m_datos.data() + it->second;
    for (size_t t = 0; t < m_tablas.size(); ++t)
        db::unpackValue(p);
    if (*p++ == '\0')
        return false;
    valores.clear();
    for (size_t k = 0; k < kColumnasProducto.size(); ++k)
        valores.push_back(db::unpackValue(p));
    return true;
}

void CatalogoCarga::asignaProducto(frmVN003::PartidaPedido& p, const std::string& concepto)
{
    std::vector<Value> pr;
    if (!producto(p.documentoId, pr)) {
        db::Recordset rs = Sistema().Conexion().ExecuteMemo(
            "SELECT Pr_Descripcion, Pr_Maneja_Talla, Pr_Maneja_Color, Pr_Tipo_Producto, Pr_Porcentaje_Variacion "
            "FROM Producto WHERE Pr_Cve_Producto = ? ",
            {p.producto});
        for (const char* columna : kColumnasProducto)
            pr.push_back(rs.Fields(columna));
    }
    p.descripcion = concepto.empty() ? pr[0].toString() : concepto;
    p.manejaTalla = pr[1].toString();
    p.manejaColor = pr[2].toString();
    p.tipoProducto = pr[3].toString();
    p.porcentajeVariacion = pr[4].toDouble();
}

std::vector<Value> CatalogoCarga::productoRemision(const std::string& id, const std::string& producto)
{
    if (std::vector<Value> pr; this->producto(id, pr)) {
        pr.resize(4);
        return pr;
    }
    db::Recordset rs = Sistema().Conexion().Execute(
        "SELECT Pr_Descripcion, Pr_Maneja_Talla, Pr_Maneja_Color, Pr_Tipo_Producto FROM Producto WHERE "
        "Pr_Cve_Producto = '" + db::quoted(producto) + "' ");
    std::vector<Value> leido;
    for (size_t k = 0; k < 4; ++k)
        leido.push_back(rs.Fields(kColumnasProducto[k]));
    return leido;
}

std::string CatalogoCarga::descripcionAmpliada(const std::string& tabla, const std::string& id) const
{
    const auto it = m_lineas.find(id);
    const char* p = it == m_lineas.end() ? nullptr : m_datos.data() + it->second;
    for (size_t t = 0; p && t < m_tablas.size(); ++t) {
        const Value descripcion = db::unpackValue(p);
        if (m_tablas[t] == tabla)
            return descripcion.toString();
    }
    return Utilerias().DescripcionAmpliada(tabla, m_folio, id);
}

std::string CatalogoCarga::descripcionTalla(const std::string& talla)
{
    return recordado(m_tallas, talla, [&] { return frmVN003::DescripcionTalla(talla); });
}

std::string CatalogoCarga::descripcionColor(const std::string& color)
{
    return recordado(m_colores, color, [&] { return frmVN003::DescripcionColor(color); });
}

bool CatalogoCarga::unidadCubicada(const std::string& unidad)
{
    return recordado(m_cubicadas, unidad, [&] { return Utilerias().UnidadCubicada(unidad); });
}

bool CatalogoCarga::unidadFraccionable(const std::string& unidad)
{
    return recordado(m_fraccionables, unidad, [&] { return Utilerias().UnidadFraccionable(unidad); });
}

} // namespace tesmira::vn003

#include "host/writers/Inventario.h"

#include "base/Text.h"
#include "base/Vb.h"
#include "db/Connection.h"
#include "host/services/LoteCapturado.h"
#include "host/services/ServiciosSql.h"
#include "host/writers/Escritura.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace tesmira::host::inventario {

using sql::numero;
using sql::texto;

namespace {

constexpr double kTolerancia = 1e-9;

struct Movimiento {
    std::string ubicacion, lote, serie;
    double cantidad1 = 0, cantidad2 = 0;
};

// Stock rows are keyed by warehouse and article; the texts below bind them in this order.
const char* const kAlmacenArticulo =
    "Sc_Cve_Sucursal = ? AND Al_Cve_Almacen = ? AND Pr_Cve_Producto = ? AND Tl_Cve_Talla = ? AND Cl_Cve_Color = ?";

std::vector<Value> almacenArticulo(const Salida& s)
{
    return {s.sucursal, s.almacen, s.producto, s.talla, s.color};
}

std::string claveAlmacen(const std::string& sucursal, const std::string& almacen)
{
    return "Sc_Cve_Sucursal = " + texto(sucursal) + " AND Al_Cve_Almacen = " + texto(almacen);
}

bool si(const db::Recordset& rs, size_t column)
{
    return sameKey(rs.Fields(column).toString(), "SI");
}

// Lots by earliest expiry (no expiry last), then by key.
std::string lotesPorCaducidad(db::Connection& c, const Salida& s, double cantidad1, double cantidad2,
                              std::vector<Movimiento>& plan)
{
    auto rs = c.Execute(std::string("SELECT Lt_Cve_Lote, Lt_Cantidad_Control_1 FROM Existencia_Lote WHERE ") +
                            kAlmacenArticulo +
                            " AND Lt_Cantidad_Control_1 > 0 "
                            "ORDER BY CASE WHEN Lt_Fecha_Caducidad IS NULL THEN 1 ELSE 0 END, Lt_Fecha_Caducidad, "
                            "Lt_Cve_Lote",
                        almacenArticulo(s));
    double falta = cantidad1;
    for (; !rs.Eof() && falta > kTolerancia; rs.MoveNext()) {
        const double toma = std::min(falta, rs.Fields("Lt_Cantidad_Control_1").toDouble());
        plan.push_back({"", rs.Fields("Lt_Cve_Lote").toString(), "", toma,
                        cantidad1 > 0 ? cantidad2 * toma / cantidad1 : 0});
        falta -= toma;
    }
    if (falta > kTolerancia)
        return "No hay lotes suficientes del producto " + s.producto + " en el almacén " + s.sucursal + "/" +
               s.almacen;
    return "";
}

// What the warehouse handles and the product is: read once per save for every line that
// shares them (the save's memo scope), never across a write to either table.
struct Manejo {
    bool lote = false, serie = false, ubicacion = false;
    std::string tipo;
};

std::string leeManejo(db::Connection& c, const Salida& s, Manejo& m)
{
    auto almacen = c.ExecuteMemo("SELECT Al_Maneja_Lote, Al_Maneja_Serie, Al_Maneja_Ubicacion, Es_Cve_Estado "
                                 "FROM Almacen WHERE Sc_Cve_Sucursal = ? AND Al_Cve_Almacen = ?",
                                 {s.sucursal, s.almacen});
    if (almacen.Eof())
        return "No existe el almacén " + s.sucursal + "/" + s.almacen;
    if (sameKey(almacen.Fields(size_t{3}).toString(), "BA"))
        return "El almacén " + s.sucursal + "/" + s.almacen + " está dado de baja";
    m.lote = si(almacen, 0);
    m.serie = si(almacen, 1);
    m.ubicacion = si(almacen, 2);
    m.tipo = s.tipo;
    if (!m.tipo.empty())
        return "";
    auto producto = c.ExecuteMemo("SELECT Pr_Tipo_Producto FROM Producto WHERE Pr_Cve_Producto = ?", {s.producto});
    if (producto.Eof())
        return "No existe el producto: " + s.producto;
    m.tipo = producto.Fields(size_t{0}).toString();
    return "";
}

// The warehouse row of the article: its units give the factors of the line's quantities.
// With a location, what the location holds comes in the same read (none: no such row).
struct Existencia {
    double f1 = 1, f2 = 1, q1 = 0, q2 = 0, costo = 0;
    std::optional<double> enUbicacion;
};

std::string leeExistencia(db::Connection& c, const Salida& s, bool conUbicacion, Existencia& e)
{
    auto existencia =
        conUbicacion
            ? c.Execute("SELECT e.Ex_Unidad_Control_1, e.Ex_Unidad_Control_2, e.Ex_Costo, u.Ex_Cantidad_Control_1 "
                        "AS Ubicada FROM Existencia e LEFT JOIN Existencia_Ubicacion u ON "
                        "u.Sc_Cve_Sucursal = e.Sc_Cve_Sucursal AND u.Al_Cve_Almacen = e.Al_Cve_Almacen AND "
                        "u.Ua_Cve_Ubicacion_Almacen = ? AND u.Pr_Cve_Producto = e.Pr_Cve_Producto AND "
                        "u.Tl_Cve_Talla = e.Tl_Cve_Talla AND u.Cl_Cve_Color = e.Cl_Cve_Color WHERE "
                        "e.Sc_Cve_Sucursal = ? AND e.Al_Cve_Almacen = ? AND e.Pr_Cve_Producto = ? AND "
                        "e.Tl_Cve_Talla = ? AND e.Cl_Cve_Color = ?",
                        {s.ubicacion, s.sucursal, s.almacen, s.producto, s.talla, s.color})
            : c.Execute(std::string("SELECT Ex_Unidad_Control_1, Ex_Unidad_Control_2, Ex_Costo FROM "
                                    "Existencia WHERE ") + kAlmacenArticulo,
                        almacenArticulo(s));
    if (existencia.Eof())
        return "El producto " + s.producto + " (" + s.talla + "/" + s.color +
               ") no tiene registro de existencia en el almacén " + s.sucursal + "/" + s.almacen;
    const std::string u1 = existencia.Fields(size_t{0}).toString();
    const std::string u2 = existencia.Fields(size_t{1}).toString();
    e.f1 = s.unidad1.empty() ? 1 : escritura::factor(c, s.producto, s.unidad1, u1);
    e.f2 = s.unidad2.empty() ? 1 : escritura::factor(c, s.producto, s.unidad2, u2);
    if (e.f1 == 0 || e.f2 == 0)
        return "No existe conversión de " + (e.f1 == 0 ? s.unidad1 : s.unidad2) + " a " + (e.f1 == 0 ? u1 : u2) +
               " para el producto " + s.producto;
    e.q1 = s.cantidad1 * e.f1;
    e.q2 = s.cantidad2 * e.f2;
    e.costo = existencia.Fields(size_t{2}).toDouble();
    if (conUbicacion && !existencia.Fields(size_t{3}).isNull())
        e.enUbicacion = existencia.Fields(size_t{3}).toDouble();
    return "";
}

std::string planUbicacion(const Salida& s, const Existencia& e, std::vector<Movimiento>& plan)
{
    if (!e.enUbicacion || *e.enUbicacion + kTolerancia < e.q1)
        return "La ubicación " + s.ubicacion + " no tiene existencia suficiente del producto " + s.producto;
    plan.push_back({s.ubicacion, "", "", e.q1, e.q2});
    return "";
}

// The lot cell holds "LOT" or "LOT@qty1@qty2@…" pieces joined by "|"; a single piece takes
// the whole line, several split it by their own control quantities.
std::string planLotes(db::Connection& c, const Salida& s, const Existencia& e, std::vector<Movimiento>& plan)
{
    if (s.lote.empty())
        return lotesPorCaducidad(c, s, e.q1, e.q2, plan);
    const auto piezas = separa(s.lote);
    for (const auto& pieza : piezas) {
        const auto lote = LoteCapturado::lee(pieza);
        double l1 = e.q1, l2 = e.q2;
        if (piezas.size() > 1) {
            l1 = lote.cantidad1 * e.f1;
            l2 = lote.cantidad2 * e.f2;
        }
        auto rs = c.Execute(std::string("SELECT Lt_Cantidad_Control_1 FROM Existencia_Lote WHERE ") +
                                kAlmacenArticulo + " AND Lt_Cve_Lote = ?",
                            {s.sucursal, s.almacen, s.producto, s.talla, s.color, lote.clave});
        if (rs.Eof() || rs.Fields("Lt_Cantidad_Control_1").toDouble() + kTolerancia < l1)
            return "El lote " + lote.clave + " no tiene existencia suficiente del producto " + s.producto;
        plan.push_back({"", lote.clave, "", l1, l2});
    }
    return "";
}

std::string planSeries(db::Connection& c, const Salida& s, std::vector<Movimiento>& plan)
{
    for (const auto& serie : s.series) {
        auto rs = c.Execute("SELECT Es_Cve_Estado FROM Existencia_Serie WHERE Pr_Cve_Producto = ? AND "
                            "Sr_Cve_Serie = ? AND Sc_Cve_Sucursal = ? AND Al_Cve_Almacen = ?",
                            {s.producto, serie, s.sucursal, s.almacen});
        if (rs.Eof() || !sameKey(rs.Fields("Es_Cve_Estado").toString(), "AC"))
            return "La serie " + serie + " no está disponible en el almacén " + s.sucursal + "/" + s.almacen;
        auto apartada = c.Execute("SELECT TOP 1 Sd_Documento FROM Serie_Documento WHERE Sd_Tabla = 'PEDIDO' AND "
                                  "Pr_Cve_Producto = ? AND Sr_Cve_Serie = ? AND Sd_Documento <> ?",
                                  {s.producto, serie, s.pedido});
        if (!apartada.Eof())
            return "La serie " + serie + " está apartada para el pedido " +
                   apartada.Fields("Sd_Documento").toString();
        auto lugar = c.Execute("SELECT Ua_Cve_Ubicacion_Almacen FROM Existencia_Ubicacion_Serie WHERE "
                               "Pr_Cve_Producto = ? AND Sr_Cve_Serie = ?",
                               {s.producto, serie});
        plan.push_back({lugar.Eof() ? "" : lugar.Fields("Ua_Cve_Ubicacion_Almacen").toString(), "", serie, 1, 1});
    }
    return "";
}

// A line of many serial numbers stays within the engines' limit of markers.
constexpr size_t kFilasPorSentencia = 64;

// The movements' INSERT for `filas` rows, each text built the first time it is needed.
const std::string& insercionMovimientos(size_t filas)
{
    thread_local std::string textos[kFilasPorSentencia];
    std::string& texto = textos[filas - 1];
    if (texto.empty()) {
        texto = "INSERT INTO Movimiento_Inventario (Mi_Tabla, Mi_Documento, Mi_Partida, Sc_Cve_Sucursal, "
                "Al_Cve_Almacen, Ua_Cve_Ubicacion_Almacen, Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color, "
                "Lt_Cve_Lote, Sr_Cve_Serie, Mi_Cantidad_Control_1, Mi_Cantidad_Control_2, Mi_Costo, Mi_Fecha, "
                "Oper_Ult_Modif, Fecha_Ult_Modif) VALUES ";
        for (size_t i = 0; i < filas; ++i)
            texto += i == 0 ? "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
                            : ", (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
    }
    return texto;
}

// One movement row per piece, several rows a statement: a line's movements cost one round
// trip, not one per piece.
void registraMovimientos(db::Connection& c, const Salida& s, double costo, const std::vector<Movimiento>& plan)
{
    for (size_t desde = 0; desde < plan.size(); desde += kFilasPorSentencia) {
        const size_t hasta = std::min(plan.size(), desde + kFilasPorSentencia);
        std::vector<Value> valores;
        valores.reserve((hasta - desde) * 17);
        for (size_t i = desde; i < hasta; ++i) {
            const auto& m = plan[i];
            for (const std::string* t : {&s.tabla, &s.documento, &s.partida, &s.sucursal, &s.almacen, &m.ubicacion,
                                         &s.producto, &s.talla, &s.color, &m.lote, &m.serie})
                valores.emplace_back(*t);
            for (double q : {m.cantidad1, m.cantidad2, costo})
                valores.emplace_back(q);
            for (const std::string* t : {&s.fecha, &s.usuario, &s.fecha})
                valores.emplace_back(*t);
        }
        c.Execute(insercionMovimientos(hasta - desde), valores);
    }
}

// Everything checked: each piece leaves its stock row and is recorded as a movement.
void escribe(db::Connection& c, const Salida& s, double costo, const std::vector<Movimiento>& plan)
{
    // The texts are the same for every line: built once.
    static const std::string almacenArticuloEs = std::string(" WHERE ") + kAlmacenArticulo;
    static const std::string restaLote = "UPDATE Existencia_Lote SET Lt_Cantidad_Control_1 = Lt_Cantidad_Control_1 "
                                         "- ?, Lt_Cantidad_Control_2 = Lt_Cantidad_Control_2 - ?" +
                                         almacenArticuloEs + " AND Lt_Cve_Lote = ?";
    static const std::string restaUbicacion =
        "UPDATE Existencia_Ubicacion SET Ex_Cantidad_Control_1 = Ex_Cantidad_Control_1 - ?, "
        "Ex_Cantidad_Control_2 = Ex_Cantidad_Control_2 - ?" + almacenArticuloEs + " AND Ua_Cve_Ubicacion_Almacen = ?";
    static const std::string resta = "UPDATE Existencia SET Ex_Cantidad_Control_1 = Ex_Cantidad_Control_1 - ?, "
                                     "Ex_Cantidad_Control_2 = Ex_Cantidad_Control_2 - ?" + almacenArticuloEs;
    for (const auto& m : plan) {
        if (!m.serie.empty()) {
            c.Execute("UPDATE Existencia_Serie SET Es_Cve_Estado = 'VE', Ex_Cantidad = 0 WHERE Pr_Cve_Producto = ? "
                      "AND Sr_Cve_Serie = ?",
                      {s.producto, m.serie});
            c.Execute("DELETE FROM Existencia_Ubicacion_Serie WHERE Pr_Cve_Producto = ? AND Sr_Cve_Serie = ?",
                      {s.producto, m.serie});
            c.Execute("INSERT INTO Serie_Documento (Sd_Tabla, Sd_Documento, Sd_ID, Sr_Cve_Serie, Pr_Cve_Producto, "
                      "Tl_Cve_Talla, Cl_Cve_Color) VALUES (?, ?, ?, ?, ?, ?, ?)",
                      {s.tabla, s.documento, s.partida, m.serie, s.producto, s.talla, s.color});
        } else if (!m.lote.empty()) {
            c.Execute(restaLote,
                      {m.cantidad1, m.cantidad2, s.sucursal, s.almacen, s.producto, s.talla, s.color, m.lote});
            c.Execute("INSERT INTO Lote_Documento (Ld_Tabla, Ld_Documento, Ld_ID, Lt_Cve_Lote, Pr_Cve_Producto, "
                      "Tl_Cve_Talla, Cl_Cve_Color, Ld_Cantidad_Control_1, Ld_Cantidad_Control_2) "
                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                      {s.tabla, s.documento, s.partida, m.lote, s.producto, s.talla, s.color, m.cantidad1,
                       m.cantidad2});
        } else if (!m.ubicacion.empty()) {
            c.Execute(restaUbicacion,
                      {m.cantidad1, m.cantidad2, s.sucursal, s.almacen, s.producto, s.talla, s.color, m.ubicacion});
        } else {
            c.Execute(resta,
                      {m.cantidad1, m.cantidad2, s.sucursal, s.almacen, s.producto, s.talla, s.color});
        }
    }
    registraMovimientos(c, s, costo, plan);
}

} // namespace

std::vector<std::string> separa(const std::string& text, char sep)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(sep, start);
        if (end == std::string::npos)
            end = text.size();
        std::string piece = text.substr(start, end - start);
        const auto first = piece.find_first_not_of(" \t");
        if (first != std::string::npos)
            out.push_back(piece.substr(first, piece.find_last_not_of(" \t") - first + 1));
        start = end + 1;
    }
    return out;
}

std::string saca(db::Connection& c, const Salida& s)
{
    Manejo manejo;
    if (auto error = leeManejo(c, s, manejo); !error.empty())
        return error;
    const bool conUbicacion = manejo.ubicacion && !s.ubicacion.empty();
    Existencia e;
    if (auto error = leeExistencia(c, s, conUbicacion, e); !error.empty())
        return error;
    std::vector<Movimiento> plan{{"", "", "", e.q1, e.q2}};
    std::string error;
    if (conUbicacion)
        error = planUbicacion(s, e, plan);
    if (error.empty() && manejo.lote && manejo.tipo == "02")
        error = planLotes(c, s, e, plan);
    if (error.empty() && manejo.serie && manejo.tipo == "03")
        error = planSeries(c, s, plan);
    if (!error.empty())
        return error;
    escribe(c, s, e.costo, plan);
    return "";
}

void devuelve(db::Connection& c, const std::string& tabla, const std::string& documento)
{
    const std::string delDocumento = "Mi_Tabla = " + texto(tabla) + " AND Mi_Documento = " + texto(documento);
    auto rs = c.Execute("SELECT * FROM Movimiento_Inventario WHERE " + delDocumento + " ORDER BY Mi_ID");
    for (; !rs.Eof(); rs.MoveNext()) {
        auto campo = [&](const char* name) { return rs.Fields(name).toString(); };
        const std::string articulo = "Pr_Cve_Producto = " + texto(campo("Pr_Cve_Producto")) +
                                     " AND Tl_Cve_Talla = " + texto(campo("Tl_Cve_Talla")) +
                                     " AND Cl_Cve_Color = " + texto(campo("Cl_Cve_Color"));
        const std::string enAlmacen = claveAlmacen(campo("Sc_Cve_Sucursal"), campo("Al_Cve_Almacen"));
        const std::string q1 = numero(rs.Fields("Mi_Cantidad_Control_1").toDouble());
        const std::string q2 = numero(rs.Fields("Mi_Cantidad_Control_2").toDouble());
        const std::string serie = campo("Sr_Cve_Serie"), lote = campo("Lt_Cve_Lote"),
                          ubicacion = campo("Ua_Cve_Ubicacion_Almacen");
        if (!serie.empty()) {
            c.Execute("UPDATE Existencia_Serie SET Es_Cve_Estado = 'AC', Ex_Cantidad = 1 WHERE Pr_Cve_Producto = " +
                      texto(campo("Pr_Cve_Producto")) + " AND Sr_Cve_Serie = " + texto(serie));
            if (!ubicacion.empty())
                c.Execute("INSERT INTO Existencia_Ubicacion_Serie (Sc_Cve_Sucursal, Al_Cve_Almacen, "
                          "Ua_Cve_Ubicacion_Almacen, Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color, Sr_Cve_Serie, "
                          "Ex_Cantidad) VALUES (" +
                          texto(campo("Sc_Cve_Sucursal")) + ", " + texto(campo("Al_Cve_Almacen")) + ", " +
                          texto(ubicacion) + ", " + texto(campo("Pr_Cve_Producto")) + ", " +
                          texto(campo("Tl_Cve_Talla")) + ", " + texto(campo("Cl_Cve_Color")) + ", " + texto(serie) +
                          ", 1)");
        } else if (!lote.empty()) {
            c.Execute("UPDATE Existencia_Lote SET Lt_Cantidad_Control_1 = Lt_Cantidad_Control_1 + " + q1 +
                      ", Lt_Cantidad_Control_2 = Lt_Cantidad_Control_2 + " + q2 + " WHERE " + enAlmacen + " AND " +
                      articulo + " AND Lt_Cve_Lote = " + texto(lote));
        } else if (!ubicacion.empty()) {
            c.Execute("UPDATE Existencia_Ubicacion SET Ex_Cantidad_Control_1 = Ex_Cantidad_Control_1 + " + q1 +
                      ", Ex_Cantidad_Control_2 = Ex_Cantidad_Control_2 + " + q2 + " WHERE " + enAlmacen +
                      " AND Ua_Cve_Ubicacion_Almacen = " + texto(ubicacion) + " AND " + articulo);
        } else {
            c.Execute("UPDATE Existencia SET Ex_Cantidad_Control_1 = Ex_Cantidad_Control_1 + " + q1 +
                      ", Ex_Cantidad_Control_2 = Ex_Cantidad_Control_2 + " + q2 + " WHERE " + enAlmacen + " AND " +
                      articulo);
        }
    }
    c.Execute("DELETE FROM Movimiento_Inventario WHERE " + delDocumento);
}

} // namespace tesmira::host::inventario

#include "host/writers/Inventario.h"

#include "base/Text.h"
#include "base/Vb.h"
#include "db/Connection.h"
#include "host/services/ServiciosSql.h"
#include "host/writers/Escritura.h"

#include <cmath>

namespace tesmira::host::inventario {

using sql::numero;
using sql::texto;

namespace {

constexpr double kTolerancia = 1e-9;

struct Movimiento {
    std::string ubicacion, lote, serie;
    double cantidad1 = 0, cantidad2 = 0;
};

std::string claveArticulo(const Salida& s)
{
    return "Pr_Cve_Producto = " + texto(s.producto) + " AND Tl_Cve_Talla = " + texto(s.talla) +
           " AND Cl_Cve_Color = " + texto(s.color);
}

std::string claveAlmacen(const std::string& sucursal, const std::string& almacen)
{
    return "Sc_Cve_Sucursal = " + texto(sucursal) + " AND Al_Cve_Almacen = " + texto(almacen);
}

bool si(const db::Recordset& rs, const char* column)
{
    return sameKey(rs.Fields(column).toString(), "SI");
}

// Lots by earliest expiry (no expiry last), then by key.
// "LOT@qty1@qty2@expiry@@date@" -> its fields, empty ones kept; the key trimmed.
std::vector<std::string> camposLote(const std::string& pieza)
{
    std::vector<std::string> campos(1);
    for (char ch : pieza) {
        if (ch == '@')
            campos.emplace_back();
        else
            campos.back() += ch;
    }
    auto& clave = campos[0];
    clave.erase(0, clave.find_first_not_of(' '));
    clave.erase(clave.find_last_not_of(' ') + 1);
    return campos;
}

std::string lotesPorCaducidad(db::Connection& c, const Salida& s, double cantidad1, double cantidad2,
                              std::vector<Movimiento>& plan)
{
    auto rs = c.Execute("SELECT Lt_Cve_Lote, Lt_Cantidad_Control_1 FROM Existencia_Lote WHERE " +
                        claveAlmacen(s.sucursal, s.almacen) + " AND " + claveArticulo(s) +
                        " AND Lt_Cantidad_Control_1 > 0 "
                        "ORDER BY CASE WHEN Lt_Fecha_Caducidad IS NULL THEN 1 ELSE 0 END, Lt_Fecha_Caducidad, "
                        "Lt_Cve_Lote");
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
    auto almacen = c.Execute("SELECT Al_Maneja_Lote, Al_Maneja_Serie, Al_Maneja_Ubicacion, Es_Cve_Estado "
                             "FROM Almacen WHERE " + claveAlmacen(s.sucursal, s.almacen));
    if (almacen.Eof())
        return "No existe el almacén " + s.sucursal + "/" + s.almacen;
    if (sameKey(almacen.Fields("Es_Cve_Estado").toString(), "BA"))
        return "El almacén " + s.sucursal + "/" + s.almacen + " está dado de baja";
    auto producto = c.Execute("SELECT Pr_Tipo_Producto FROM Producto WHERE Pr_Cve_Producto = " + texto(s.producto));
    if (producto.Eof())
        return "No existe el producto: " + s.producto;
    const std::string tipo = producto.Fields("Pr_Tipo_Producto").toString();

    auto existencia = c.Execute("SELECT Ex_Unidad_Control_1, Ex_Unidad_Control_2, Ex_Costo FROM Existencia WHERE " +
                                claveAlmacen(s.sucursal, s.almacen) + " AND " + claveArticulo(s));
    if (existencia.Eof())
        return "El producto " + s.producto + " (" + s.talla + "/" + s.color +
               ") no tiene registro de existencia en el almacén " + s.sucursal + "/" + s.almacen;
    const std::string u1 = existencia.Fields("Ex_Unidad_Control_1").toString();
    const std::string u2 = existencia.Fields("Ex_Unidad_Control_2").toString();
    const double f1 = s.unidad1.empty() ? 1 : escritura::factor(c, s.producto, s.unidad1, u1);
    const double f2 = s.unidad2.empty() ? 1 : escritura::factor(c, s.producto, s.unidad2, u2);
    if (f1 == 0 || f2 == 0)
        return "No existe conversión de " + (f1 == 0 ? s.unidad1 : s.unidad2) + " a " + (f1 == 0 ? u1 : u2) +
               " para el producto " + s.producto;
    const double q1 = s.cantidad1 * f1, q2 = s.cantidad2 * f2;
    const double costo = existencia.Fields("Ex_Costo").toDouble();

    std::vector<Movimiento> plan{{"", "", "", q1, q2}};
    if (si(almacen, "Al_Maneja_Ubicacion") && !s.ubicacion.empty()) {
        auto rs = c.Execute("SELECT Ex_Cantidad_Control_1 FROM Existencia_Ubicacion WHERE " +
                            claveAlmacen(s.sucursal, s.almacen) + " AND Ua_Cve_Ubicacion_Almacen = " +
                            texto(s.ubicacion) + " AND " + claveArticulo(s));
        if (rs.Eof() || rs.Fields("Ex_Cantidad_Control_1").toDouble() + kTolerancia < q1)
            return "La ubicación " + s.ubicacion + " no tiene existencia suficiente del producto " + s.producto;
        plan.push_back({s.ubicacion, "", "", q1, q2});
    }
    if (si(almacen, "Al_Maneja_Lote") && tipo == "02") {
        if (s.lote.empty()) {
            if (auto error = lotesPorCaducidad(c, s, q1, q2, plan); !error.empty())
                return error;
        } else {
            // The lot cell holds "LOT" or "LOT@qty1@qty2@…" pieces joined by "|"; a single piece
            // takes the whole line, several split it by their own control quantities.
            const auto piezas = separa(s.lote);
            for (const auto& pieza : piezas) {
                const auto campos = camposLote(pieza);
                double l1 = q1, l2 = q2;
                if (piezas.size() > 1) {
                    l1 = (campos.size() > 1 ? vb::val(campos[1]) : 0) * f1;
                    l2 = (campos.size() > 2 ? vb::val(campos[2]) : 0) * f2;
                }
                auto rs = c.Execute("SELECT Lt_Cantidad_Control_1 FROM Existencia_Lote WHERE " +
                                    claveAlmacen(s.sucursal, s.almacen) + " AND " + claveArticulo(s) +
                                    " AND Lt_Cve_Lote = " + texto(campos[0]));
                if (rs.Eof() || rs.Fields("Lt_Cantidad_Control_1").toDouble() + kTolerancia < l1)
                    return "El lote " + campos[0] + " no tiene existencia suficiente del producto " + s.producto;
                plan.push_back({"", campos[0], "", l1, l2});
            }
        }
    }
    if (si(almacen, "Al_Maneja_Serie") && tipo == "03") {
        for (const auto& serie : s.series) {
            auto rs = c.Execute("SELECT Es_Cve_Estado FROM Existencia_Serie WHERE Pr_Cve_Producto = " +
                                texto(s.producto) + " AND Sr_Cve_Serie = " + texto(serie) + " AND " +
                                claveAlmacen(s.sucursal, s.almacen));
            if (rs.Eof() || !sameKey(rs.Fields("Es_Cve_Estado").toString(), "AC"))
                return "La serie " + serie + " no está disponible en el almacén " + s.sucursal + "/" + s.almacen;
            auto apartada = c.Execute("SELECT TOP 1 Sd_Documento FROM Serie_Documento WHERE Sd_Tabla = 'PEDIDO' AND "
                                      "Pr_Cve_Producto = " + texto(s.producto) + " AND Sr_Cve_Serie = " +
                                      texto(serie) + " AND Sd_Documento <> " + texto(s.pedido));
            if (!apartada.Eof())
                return "La serie " + serie + " está apartada para el pedido " +
                       apartada.Fields("Sd_Documento").toString();
            auto lugar = c.Execute("SELECT Ua_Cve_Ubicacion_Almacen FROM Existencia_Ubicacion_Serie WHERE "
                                   "Pr_Cve_Producto = " + texto(s.producto) + " AND Sr_Cve_Serie = " + texto(serie));
            plan.push_back({lugar.Eof() ? "" : lugar.Fields("Ua_Cve_Ubicacion_Almacen").toString(), "", serie, 1, 1});
        }
    }

    // Everything checked: write.
    const std::string articulo = claveArticulo(s);
    const std::string enAlmacen = claveAlmacen(s.sucursal, s.almacen);
    for (const auto& m : plan) {
        if (!m.serie.empty()) {
            c.Execute("UPDATE Existencia_Serie SET Es_Cve_Estado = 'VE', Ex_Cantidad = 0 WHERE Pr_Cve_Producto = " +
                      texto(s.producto) + " AND Sr_Cve_Serie = " + texto(m.serie));
            c.Execute("DELETE FROM Existencia_Ubicacion_Serie WHERE Pr_Cve_Producto = " + texto(s.producto) +
                      " AND Sr_Cve_Serie = " + texto(m.serie));
            c.Execute("INSERT INTO Serie_Documento (Sd_Tabla, Sd_Documento, Sd_ID, Sr_Cve_Serie, Pr_Cve_Producto, "
                      "Tl_Cve_Talla, Cl_Cve_Color) VALUES (" + texto(s.tabla) + ", " + texto(s.documento) + ", " +
                      texto(s.partida) + ", " + texto(m.serie) + ", " + texto(s.producto) + ", " + texto(s.talla) +
                      ", " + texto(s.color) + ")");
        } else if (!m.lote.empty()) {
            c.Execute("UPDATE Existencia_Lote SET Lt_Cantidad_Control_1 = Lt_Cantidad_Control_1 - " +
                      numero(m.cantidad1) + ", Lt_Cantidad_Control_2 = Lt_Cantidad_Control_2 - " +
                      numero(m.cantidad2) + " WHERE " + enAlmacen + " AND " + articulo + " AND Lt_Cve_Lote = " +
                      texto(m.lote));
            c.Execute("INSERT INTO Lote_Documento (Ld_Tabla, Ld_Documento, Ld_ID, Lt_Cve_Lote, Pr_Cve_Producto, "
                      "Tl_Cve_Talla, Cl_Cve_Color, Ld_Cantidad_Control_1, Ld_Cantidad_Control_2) VALUES (" +
                      texto(s.tabla) + ", " + texto(s.documento) + ", " + texto(s.partida) + ", " + texto(m.lote) +
                      ", " + texto(s.producto) + ", " + texto(s.talla) + ", " + texto(s.color) + ", " +
                      numero(m.cantidad1) + ", " + numero(m.cantidad2) + ")");
        } else if (!m.ubicacion.empty()) {
            c.Execute("UPDATE Existencia_Ubicacion SET Ex_Cantidad_Control_1 = Ex_Cantidad_Control_1 - " +
                      numero(m.cantidad1) + ", Ex_Cantidad_Control_2 = Ex_Cantidad_Control_2 - " +
                      numero(m.cantidad2) + " WHERE " + enAlmacen + " AND Ua_Cve_Ubicacion_Almacen = " +
                      texto(m.ubicacion) + " AND " + articulo);
        } else {
            c.Execute("UPDATE Existencia SET Ex_Cantidad_Control_1 = Ex_Cantidad_Control_1 - " + numero(m.cantidad1) +
                      ", Ex_Cantidad_Control_2 = Ex_Cantidad_Control_2 - " + numero(m.cantidad2) + " WHERE " +
                      enAlmacen + " AND " + articulo);
        }
        c.Execute("INSERT INTO Movimiento_Inventario (Mi_Tabla, Mi_Documento, Mi_Partida, Sc_Cve_Sucursal, "
                  "Al_Cve_Almacen, Ua_Cve_Ubicacion_Almacen, Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color, "
                  "Lt_Cve_Lote, Sr_Cve_Serie, Mi_Cantidad_Control_1, Mi_Cantidad_Control_2, Mi_Costo, Mi_Fecha, "
                  "Oper_Ult_Modif, Fecha_Ult_Modif) VALUES (" +
                  texto(s.tabla) + ", " + texto(s.documento) + ", " + texto(s.partida) + ", " + texto(s.sucursal) +
                  ", " + texto(s.almacen) + ", " + texto(m.ubicacion) + ", " + texto(s.producto) + ", " +
                  texto(s.talla) + ", " + texto(s.color) + ", " + texto(m.lote) + ", " + texto(m.serie) + ", " +
                  numero(m.cantidad1) + ", " + numero(m.cantidad2) + ", " + numero(costo) + ", " + texto(s.fecha) +
                  ", " + texto(s.usuario) + ", " + texto(s.fecha) + ")");
    }
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

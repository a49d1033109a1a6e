#include "host/output/Impresion.h"

#include "base/Error.h"
#include "base/Text.h"
#include "base/Vb.h"
#include "db/Connection.h"
#include "host/services/Dialogos.h"
#include "host/services/ServiciosSql.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tesmira::host {

namespace {

namespace fs = std::filesystem;

using Documento = DocumentoImpreso;

// The text form's width in characters.
constexpr size_t AnchoTexto = 110;

// Appends s cut or padded to width characters.
void ajusta(std::string& out, std::string_view s, size_t width, bool right = false)
{
    // One pass: the characters that fit, counted as they are taken.
    size_t bytes = 0, chars = 0;
    for (; bytes < s.size(); ++bytes)
        if ((static_cast<unsigned char>(s[bytes]) & 0xC0) != 0x80 && chars++ == width)
            break;
    const std::string_view cut = s.substr(0, bytes);
    const size_t pad = width - std::min(chars, width);
    if (right)
        out.append(pad, ' ');
    out.append(cut);
    if (!right)
        out.append(pad, ' ');
}

std::string cantidad(double v) { return vb::formatNumber(v, v == std::floor(v) ? "#,##0" : "#,##0.###"); }
std::string dinero(double v) { return vb::formatNumber(v, "#,##0.00"); }
std::string fecha(const Value& v) { return v.isNull() ? std::string() : vb::formatDate(v.toDate()); }
std::string importe(double v, const std::string& moneda) { return "$" + dinero(v) + (moneda.empty() ? "" : " " + moneda); }

// Size and colour "00" mean none.
std::string variante(const std::string& talla, const std::string& color)
{
    std::string out;
    for (const std::string* p : {&talla, &color})
        if (!p->empty() && *p != "00")
            out += (out.empty() ? "" : " / ") + *p;
    return out;
}

Date masDias(const Date& d, int dias)
{
    using namespace std::chrono;
    const sys_days dia = sys_days(year_month_day(year(d.year), month(static_cast<unsigned>(d.month)),
                                                 day(static_cast<unsigned>(d.day)))) + days(dias);
    const year_month_day ymd(dia);
    return Date{static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

// Folios joined by '|' (as stored) or '@' (as the save hands receipts over).
std::vector<std::string> folios(const std::string& joined)
{
    std::vector<std::string> out;
    std::string piece;
    for (char c : joined + "|") {
        if (c != '|' && c != '@') {
            piece += c;
            continue;
        }
        if (!trimmed(piece).empty())
            out.emplace_back(trimmed(piece));
        piece.clear();
    }
    return out;
}

// File names keep letters, digits, '-' and '_'; anything else a folio may hold becomes '_'.
std::string nombreArchivo(const std::string& s)
{
    std::string out;
    for (unsigned char c : s)
        out += (std::isalnum(c) || c == '-' || c == '_') ? static_cast<char>(c) : '_';
    return out;
}

const std::vector<ColumnaImpresa>& columnasDePartidas()
{
    static const std::vector<ColumnaImpresa> columnas = {
        {"ID", 5},           {"Clave", 10},          {"Descripción", 0},   {"Talla / Color", 14},
        {"Cantidad", 10, true}, {"Unidad", 8},       {"Precio", 12, true}, {"Importe", 13, true},
    };
    return columnas;
}

// The document's parts as text: the header, both data blocks, the table, the totals, the
// paragraph and the signature lines, appended to out.
void texto(const Documento& d, std::string& out)
{
    const auto linea = [&](std::string_view a, std::string_view b = {}, std::string_view c = {}) {
        out.append(a).append(b).append(c).push_back('\n');
    };
    if (!d.empresa.empty()) {
        linea(d.empresa);
        linea("RFC ", d.empresaRfc);
        linea(d.empresaDireccion);
    }
    out.push_back('\n');
    linea(d.titulo, d.folio.empty() ? "" : " ", d.folio);
    if (d.estado == "CA")
        linea("*** CANCELADA ***");
    linea("Fecha: ", fecha(d.fecha));
    for (const auto* bloque : {&d.cliente, &d.documento})
        for (const DatoImpreso& dato : *bloque)
            linea(dato.etiqueta, dato.etiqueta.empty() ? "" : ": ", dato.valor);
    out.push_back('\n');
    size_t fijo = 0;
    for (const ColumnaImpresa& c : d.columnas)
        fijo += static_cast<size_t>(c.ancho);
    std::vector<size_t> anchos;
    for (const ColumnaImpresa& c : d.columnas)
        anchos.push_back(c.ancho > 0 ? static_cast<size_t>(c.ancho) : (AnchoTexto > fijo + 10 ? AnchoTexto - fijo : 10));
    auto fila = [&](auto&& celda) {
        for (size_t i = 0; i < d.columnas.size(); ++i) {
            ajusta(out, celda(i), anchos[i] - 1, d.columnas[i].derecha);
            out.push_back(' ');
        }
        out.push_back('\n');
    };
    const std::string raya(AnchoTexto, '-'), sangria(15, ' ');
    fila([&](size_t i) { return std::string_view(d.columnas[i].titulo); });
    linea(raya);
    for (const RenglonImpreso& r : d.renglones) {
        fila([&](size_t i) { return i < r.celdas.size() ? std::string_view(r.celdas[i]) : std::string_view(); });
        for (const std::string& detalle : r.detalle)
            linea(sangria, detalle);
    }
    if (d.renglones.empty())
        out.append(10, '\n');
    linea(raya);
    for (const DatoImpreso& t : d.totales) {
        ajusta(out, t.etiqueta + ":", AnchoTexto - 22, true);
        ajusta(out, t.valor, 22, true);
        out.push_back('\n');
    }
    if (!d.leyenda.empty())
        linea("\n", d.leyenda);
    if (!d.firmas.empty()) {
        out += "\n\n";
        for (size_t i = 0; i < d.firmas.size(); ++i)
            out.append(i ? "    " : "").append(utf8Length(d.firmas[i]), '_');
        out.push_back('\n');
        for (size_t i = 0; i < d.firmas.size(); ++i)
            out.append(i ? "    " : "").append(d.firmas[i]);
        out.push_back('\n');
    }
}

// Composes the documents from their saved rows.
class Composicion {
public:
    explicit Composicion(db::Connection& c) : m_c(c) {}

    Documento enBlanco(const std::string& titulo) const
    {
        Documento d = base(titulo);
        d.columnas = columnasDePartidas();
        for (const char* t : {"Subtotal", "Impuestos", "Total"})
            d.totales.push_back({t, ""});
        return d;
    }

    std::optional<Documento> remision(const std::string& folio) const
    {
        db::Recordset h = m_c.Execute("SELECT * FROM Remision_Encabezado WHERE Rm_Folio = " + sql::texto(folio));
        if (h.Eof())
            return std::nullopt;
        Documento d = encabezado(h, "Rm_", "Remisión", "Remision");
        d.documento.push_back({"Pedido", h.Fields("Rm_Documento").toString()});
        if (const std::string factura = h.Fields("Rm_Factura").toString(); !factura.empty())
            d.documento.push_back({"Factura", factura});
        const auto [subtotal, impuesto] = partidas(d, "Remision", "Rm_", folio);
        const double descuento = h.Fields("Rm_Descuento_Global_Importe").toDouble();
        const std::string moneda = h.Fields("Mn_Cve_Moneda").toString();
        d.totales = {{"Subtotal", importe(subtotal, moneda)},
                     {"Descuento global", importe(descuento, moneda)},
                     {"Impuestos", importe(impuesto, moneda)},
                     {"Total", importe(subtotal - descuento + impuesto, moneda)}};
        d.leyenda = "Renglones: " + std::to_string(d.renglones.size());
        d.firmas = {"Recibí de conformidad: nombre y firma", "Fecha"};
        return d;
    }

    std::optional<Documento> venta(const std::string& folio) const
    {
        db::Recordset h = m_c.Execute("SELECT * FROM Venta_Encabezado WHERE Vn_Folio = " + sql::texto(folio));
        if (h.Eof())
            return std::nullopt;
        Documento d = encabezado(h, "Vn_", "Venta", "Venta");
        d.documento.push_back({"Remisión", h.Fields("Vn_Documento").toString()});
        const auto [subtotal, impuesto] = partidas(d, "Venta", "Vn_", folio);
        const std::string moneda = h.Fields("Mn_Cve_Moneda").toString();
        d.totales = {{"Subtotal", importe(subtotal, moneda)},
                     {"Impuestos", importe(impuesto, moneda)},
                     {"Total", importe(subtotal + impuesto, moneda)}};
        return d;
    }

    // The invoice, payment receipt or promissory note the folio names, from the invoice's row
    // and its sale.
    std::optional<Documento> factura(const std::string& folio) const
    {
        const std::string wanted = sql::texto("%|" + folio + "|%");
        db::Recordset f = m_c.Execute(
            "SELECT TOP 1 * FROM Factura WHERE Fc_Factura = " + sql::texto(folio) + " OR '|' + Fc_Recibo_Pago + '|' LIKE "
            + wanted + " OR '|' + Fc_Pagares + '|' LIKE " + wanted);
        if (f.Eof())
            return std::nullopt;
        const std::string saleFolio = f.Fields("Fc_Documento").toString();
        db::Recordset v = m_c.Execute("SELECT * FROM Venta_Encabezado WHERE Vn_Folio = " + sql::texto(saleFolio));
        if (v.Eof())
            return std::nullopt;
        if (sameKey(f.Fields("Fc_Factura").toString(), folio))
            return comprobante(f, v);
        const std::vector<std::string> recibos = folios(f.Fields("Fc_Recibo_Pago").toString());
        for (size_t i = 0; i < recibos.size(); ++i)
            if (sameKey(recibos[i], folio))
                return recibo(f, v, i, recibos.size());
        const std::vector<std::string> pagares = folios(f.Fields("Fc_Pagares").toString());
        for (size_t i = 0; i < pagares.size(); ++i)
            if (sameKey(pagares[i], folio))
                return pagare(f, v, i, pagares.size());
        return std::nullopt;
    }

private:
    Documento comprobante(const db::Recordset& f, const db::Recordset& v) const
    {
        Documento d = encabezado(v, "Vn_", "Factura", "Venta");
        d.folio = f.Fields("Fc_Factura").toString();
        d.fecha = f.Fields("Fc_Fecha");
        d.estado = f.Fields("Es_Cve_Estado").toString();
        const std::string saleFolio = v.Fields("Vn_Folio").toString();
        d.documento = {{"Serie", f.Fields("Fc_Serie").toString()},
                       {"Número", f.Fields("Fc_Numero").toString()},
                       {"Condición", condicion(f.Fields("Fc_Condicion_Venta").toString())},
                       d.documento[2], // the currency
                       {"Remisión", v.Fields("Vn_Documento").toString()},
                       {"Venta", saleFolio}};
        partidas(d, "Venta", "Vn_", saleFolio);
        const std::string moneda = f.Fields("Mn_Cve_Moneda").toString();
        d.totales = {{"Subtotal", importe(f.Fields("Fc_Subtotal").toDouble(), moneda)},
                     {"Impuestos", importe(f.Fields("Fc_Impuesto").toDouble(), moneda)},
                     {"Total", importe(f.Fields("Fc_Total").toDouble(), moneda)}};
        db::Recordset sello = m_c.Execute("SELECT Cd_Sello FROM Comprobante_Digital WHERE Cd_Tabla = 'Factura' AND "
                                          "Cd_Documento = " + sql::texto(d.folio));
        d.leyenda = sello.Eof() ? "Comprobante sin sello digital."
                                : "Este documento es la representación impresa de un comprobante digital. "
                                  "Sello digital: " + sello.Fields(size_t{0}).toString();
        return d;
    }

    // What the document pays: the invoice's total split evenly, the last taking the cents left.
    static double parte(const db::Recordset& f, size_t i, size_t n)
    {
        const double total = f.Fields("Fc_Total").toDouble();
        const double cada = vb::round2(total / static_cast<double>(n));
        return i + 1 < n ? cada : vb::round2(total - cada * static_cast<double>(n - 1));
    }

    Documento pagoDe(const db::Recordset& f, const db::Recordset& v, const std::string& titulo,
                     const std::string& folio) const
    {
        Documento d = encabezado(v, "Vn_", titulo, "Venta");
        d.folio = folio;
        d.fecha = f.Fields("Fc_Fecha");
        d.estado = f.Fields("Es_Cve_Estado").toString();
        d.cliente.pop_back(); // the sale's reference is the invoice's business
        d.documento = {{"Factura", f.Fields("Fc_Factura").toString()},
                       {"Condición", condicion(f.Fields("Fc_Condicion_Venta").toString())},
                       {"Moneda", f.Fields("Mn_Cve_Moneda").toString()}};
        return d;
    }

    Documento recibo(const db::Recordset& f, const db::Recordset& v, size_t i, size_t n) const
    {
        const std::string moneda = f.Fields("Mn_Cve_Moneda").toString();
        const std::string factura = f.Fields("Fc_Factura").toString();
        Documento d = pagoDe(f, v, "Recibo de pago", folios(f.Fields("Fc_Recibo_Pago").toString())[i]);
        const double monto = parte(f, i, n);
        d.columnas = {{"Concepto", 0}, {"Importe", 18, true}};
        d.renglones = {{{"Pago de la factura " + factura + " del " + fecha(f.Fields("Fc_Fecha"))
                             + (n > 1 ? " (" + std::to_string(i + 1) + " de " + std::to_string(n) + ")" : ""),
                         importe(monto, moneda)},
                        {}}};
        d.totales = {{"Total recibido", importe(monto, moneda)}};
        d.leyenda = "Recibimos de " + nombreCliente(f.Fields("Cl_Cve_Cliente").toString()) + " la cantidad de "
            + importe(monto, moneda) + " por el pago de la factura " + factura + ".";
        d.firmas = {"Recibió: nombre y firma"};
        return d;
    }

    // Promissory notes fall due every 30 days of the credit, the last on its last day.
    Documento pagare(const db::Recordset& f, const db::Recordset& v, size_t i, size_t n) const
    {
        const std::string moneda = f.Fields("Mn_Cve_Moneda").toString();
        const std::string cliente = f.Fields("Cl_Cve_Cliente").toString();
        Documento d = pagoDe(f, v, "Pagaré", folios(f.Fields("Fc_Pagares").toString())[i]);
        int dias = static_cast<int>(sql::valor(m_c, "SELECT Cv_Dias_Credito FROM Condicion_Venta WHERE "
                                                    "Cv_Cve_Condicion_Venta = "
                                                        + sql::texto(f.Fields("Fc_Condicion_Venta").toString()))
                                        .toDouble());
        if (dias <= 0)
            dias = static_cast<int>(
                sql::valor(m_c, "SELECT Cl_Dias_Credito FROM Cliente WHERE Cl_Cve_Cliente = " + sql::texto(cliente))
                    .toDouble());
        const int cada30 = 30 * static_cast<int>(i + 1);
        const int plazo = i + 1 < n || dias <= 0 ? cada30 : std::max(dias, cada30 - 29);
        const Value emitida = f.Fields("Fc_Fecha");
        const std::string vence = emitida.isNull() ? "" : vb::formatDate(masDias(emitida.toDate().dateOnly(), plazo));
        const double monto = parte(f, i, n);
        const std::string numero = std::to_string(i + 1) + " de " + std::to_string(n);
        d.documento.insert(d.documento.begin() + 1, {{"Número", numero}, {"Vencimiento", vence}});
        d.columnas = {{"Pagaré", 0}, {"Vencimiento", 14}, {"Importe", 18, true}};
        d.renglones = {{{"Pagaré " + numero + " de la factura " + f.Fields("Fc_Factura").toString(), vence,
                         importe(monto, moneda)},
                        {}}};
        d.totales = {{"Importe", importe(monto, moneda)}};
        d.leyenda = "Debo y pagaré incondicionalmente a la orden de " + d.empresa + " el día " + vence
            + " la cantidad de " + importe(monto, moneda)
            + ", valor recibido a mi entera satisfacción. Este pagaré es el " + numero
            + " de una serie; la falta de pago de cualquiera de ellos hace exigibles los demás.";
        d.firmas = {"Acepto: " + nombreCliente(cliente), "Fecha"};
        return d;
    }

    Documento base(const std::string& titulo) const
    {
        Documento d;
        d.titulo = titulo;
        db::Recordset e = m_c.Execute("SELECT TOP 1 Em_Razon_Social, Em_R_F_C, Em_Direccion FROM Empresa");
        if (!e.Eof()) {
            d.empresa = e.Fields("Em_Razon_Social").toString();
            d.empresaRfc = e.Fields("Em_R_F_C").toString();
            d.empresaDireccion = e.Fields("Em_Direccion").toString();
        }
        return d;
    }

    std::string nombreCliente(const std::string& code) const
    {
        return sql::valor(m_c, "SELECT Cl_Razon_Social_1 FROM Cliente WHERE Cl_Cve_Cliente = " + sql::texto(code))
            .toString();
    }

    std::string condicion(const std::string& code) const
    {
        return code + " "
            + sql::valor(m_c, "SELECT Cv_Descripcion FROM Condicion_Venta WHERE Cv_Cve_Condicion_Venta = "
                                  + sql::texto(code))
                  .toString();
    }

    // Title, folio, date and state, the customer (code and name, tax id, delivery address,
    // reference) and where it came from (branch, warehouse, currency and rate).
    Documento encabezado(const db::Recordset& h, const std::string& p, const std::string& titulo,
                         const std::string& tabla) const
    {
        Documento d = base(titulo);
        d.folio = h.Fields(p + "Folio").toString();
        d.fecha = h.Fields(p + "Fecha");
        d.estado = h.Fields("Es_Cve_Estado").toString();
        const std::string customer = h.Fields("Cl_Cve_Cliente").toString();
        db::Recordset c = m_c.Execute("SELECT Cl_Descripcion, Cl_R_F_C FROM Cliente WHERE Cl_Cve_Cliente = "
                                      + sql::texto(customer));
        const std::string direccion =
            sql::valor(m_c, "SELECT CASE e.De_Direccion_1 WHEN '' THEN e.De_Calle + ' ' + e.De_Numero_Interior "
                            "+ ' ' + e.De_Numero_Exterior + ' ' + e.De_Cruzamiento_1 + ' ' + e.De_Cruzamiento_2 "
                            "ELSE e.De_Direccion_1 END FROM Domicilio_Documento d "
                            "INNER JOIN Direccion_Entrega e ON e.De_Tabla = d.Dd_Tipo "
                            "AND e.De_Documento = d.Dd_Clave AND e.De_ID = d.De_ID WHERE d.Dd_Tabla = "
                                + sql::texto(tabla) + " AND d.Dd_Documento = " + sql::texto(d.folio))
                .toString();
        d.cliente = {{"Cliente", customer + (c.Eof() ? "" : " " + c.Fields("Cl_Descripcion").toString())},
                     {"R.F.C.", c.Eof() ? "" : c.Fields("Cl_R_F_C").toString()},
                     {"Entregar en", direccion},
                     {"Referencia", h.Fields(p + "Referencia").toString()}};
        const std::string branch = h.Fields("Sc_Cve_Sucursal").toString();
        const std::string warehouse = h.Fields("Al_Cve_Almacen").toString();
        d.documento = {
            {"Sucursal", branch + " "
                 + sql::valor(m_c, "SELECT Sc_Descripcion FROM Sucursal WHERE Sc_Cve_Sucursal = " + sql::texto(branch))
                       .toString()},
            {"Almacén", warehouse + " "
                 + sql::valor(m_c, "SELECT Al_Descripcion FROM Almacen WHERE Sc_Cve_Sucursal = " + sql::texto(branch)
                                       + " AND Al_Cve_Almacen = " + sql::texto(warehouse))
                       .toString()},
            {"Moneda", h.Fields("Mn_Cve_Moneda").toString() + "   T.C. "
                 + vb::formatNumber(h.Fields(p + "Tipo_Cambio").toDouble(), "0.0000")}};
        return d;
    }

    // The lines with their lots and serial numbers; answers their amounts and taxes summed.
    std::pair<double, double> partidas(Documento& d, const std::string& table, const std::string& p,
                                       const std::string& folio) const
    {
        d.columnas = columnasDePartidas();
        double subtotal = 0, impuesto = 0;
        // Only the printed columns: a line of the document has some fifty.
        db::Recordset rs = m_c.Execute("SELECT " + p + "ID, Pr_Cve_Producto, " + p + "Descripcion, Tl_Cve_Talla, "
                                       + "Cl_Cve_Color, " + p + "Cantidad_1, " + p + "Unidad_1, " + p
                                       + "Precio_Descontado, " + p + "Precio_Descontado_Importe, " + p
                                       + "Impuesto_Importe FROM " + table + " WHERE " + p + "Folio = "
                                       + sql::texto(folio) + " ORDER BY " + p + "ID");
        const auto campo = [&](size_t i) { return rs.Fields(i).toString(); };
        const auto cifra = [&](size_t i) { return rs.Fields(i).toDouble(); };
        for (; !rs.Eof(); rs.MoveNext()) {
            const double monto = cifra(8);
            // Cells moved in: a braced list would copy each of them once more.
            std::vector<std::string>& celdas = d.renglones.emplace_back().celdas;
            celdas.reserve(8);
            for (size_t i = 0; i < 3; ++i)
                celdas.push_back(campo(i));
            celdas.push_back(variante(campo(3), campo(4)));
            celdas.push_back(cantidad(cifra(5)));
            celdas.push_back(campo(6));
            celdas.push_back(dinero(cifra(7)));
            celdas.push_back(dinero(monto));
            subtotal += monto;
            impuesto += cifra(9);
        }
        detalles(d, table, folio);
        return {subtotal, impuesto};
    }

    // The lots and serial numbers of each line, read once for the whole document.
    void detalles(Documento& d, const std::string& table, const std::string& folio) const
    {
        std::unordered_map<std::string, size_t> porId;
        for (size_t i = 0; i < d.renglones.size(); ++i)
            porId.emplace(d.renglones[i].celdas[0], i);
        const std::string documento = "WHERE l.Ld_Tabla = " + sql::texto(table) + " AND l.Ld_Documento = " + sql::texto(folio);
        db::Recordset lotes = m_c.Execute("SELECT l.Ld_ID, l.Lt_Cve_Lote, l.Ld_Cantidad_Control_1, l.Pr_Cve_Producto, "
                                          "l.Tl_Cve_Talla, l.Cl_Cve_Color FROM Lote_Documento l "
                                          + documento + " ORDER BY l.Ld_ID, l.Lt_Cve_Lote");
        struct Lote {
            size_t renglon;
            std::string texto, linea, existencia; // the line's ID and lot; the stock key
        };
        std::vector<Lote> impresos;
        // Each lot's expiry date as the stock of the first warehouse in key order holding it.
        std::unordered_map<std::string, std::optional<Value>> caducidades;
        for (; !lotes.Eof(); lotes.MoveNext()) {
            auto it = porId.find(lotes.Fields(size_t{0}).toString());
            if (it == porId.end())
                continue;
            const std::string lote = lotes.Fields(size_t{1}).toString();
            impresos.push_back({it->second, "Lote " + lote + ": " + cantidad(lotes.Fields(size_t{2}).toDouble()),
                                it->first + '\x1f' + lote,
                                clave({lotes.Fields(size_t{3}).toString(), lotes.Fields(size_t{4}).toString(),
                                       lotes.Fields(size_t{5}).toString(), lote})});
            caducidades.emplace(impresos.back().existencia, std::nullopt);
        }
        const bool porExistencia = caducidadesPorExistencia(caducidades);
        const std::unordered_map<std::string, Value> porLinea =
            porExistencia ? std::unordered_map<std::string, Value>() : caducidadesPorLote(documento);
        static const Value sinFecha;
        for (const Lote& l : impresos) {
            const auto leida = porLinea.find(l.linea); // a lot removed since is printed without its date
            const Value& caducidad = porExistencia ? *caducidades.at(l.existencia)
                : leida == porLinea.end()              ? sinFecha
                                                       : leida->second;
            d.renglones[l.renglon].detalle.push_back(l.texto
                                                     + (caducidad.isNull() ? "" : "  caducidad " + fecha(caducidad)));
        }
        db::Recordset series = m_c.Execute("SELECT Sd_ID, Sr_Cve_Serie FROM Serie_Documento WHERE Sd_Tabla = "
                                           + sql::texto(table) + " AND Sd_Documento = " + sql::texto(folio)
                                           + " ORDER BY Sd_ID, Sr_Cve_Serie");
        for (; !series.Eof(); series.MoveNext())
            if (auto it = porId.find(series.Fields(size_t{0}).toString()); it != porId.end())
                d.renglones[it->second].detalle.push_back("Serie " + series.Fields(size_t{1}).toString());
    }

    // Keys as the database compares them: ASCII case and trailing blanks aside. "" for a key
    // with bytes outside printable ASCII, which an engine may compare otherwise.
    static std::string clave(std::initializer_list<std::string> partes)
    {
        std::string out;
        for (const std::string& p : partes) {
            for (const char c : p)
                if (c < ' ' || c > '~')
                    return {};
            out.append(lowerAscii(withoutTrailingBlanks(p))).push_back('\x1f');
        }
        return out;
    }

    // The lots' stock read warehouse by warehouse in key order, the first holding a lot giving
    // its date. False, leaving the answers unset, when the company's lot stock is too large
    // for that to be cheaper than finding each lot by its key.
    bool caducidadesPorExistencia(std::unordered_map<std::string, std::optional<Value>>& caducidades) const
    {
        if (caducidades.empty())
            return true;
        if (caducidades.contains(""))
            return false;
        // A lot is found by its key in every branch and warehouse: some eight index searches.
        const size_t tope = 8 * caducidades.size();
        db::Recordset e = m_c.Execute(
            "SELECT TOP " + std::to_string(tope + 1)
            + " Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color, Lt_Cve_Lote, Lt_Fecha_Caducidad FROM Existencia_Lote "
              "WHERE Sc_Cve_Sucursal IN (SELECT Sc_Cve_Sucursal FROM Almacen) AND Al_Cve_Almacen IN (SELECT "
              "Al_Cve_Almacen FROM Almacen) ORDER BY Sc_Cve_Sucursal, Al_Cve_Almacen, Pr_Cve_Producto, Tl_Cve_Talla, "
              "Cl_Cve_Color, Lt_Cve_Lote");
        size_t leidos = 0, faltan = caducidades.size();
        for (; faltan > 0 && !e.Eof(); e.MoveNext(), ++leidos) {
            if (leidos == tope)
                return false;
            const std::string k = clave({e.Fields(size_t{0}).toString(), e.Fields(size_t{1}).toString(),
                                         e.Fields(size_t{2}).toString(), e.Fields(size_t{3}).toString()});
            if (k.empty())
                return false;
            auto it = caducidades.find(k);
            if (it != caducidades.end() && !it->second) {
                it->second = e.Fields(size_t{4});
                --faltan;
            }
        }
        for (auto& [k, c] : caducidades)
            if (!c)
                c = Value();
        return true;
    }

    // Each line's lots found by their key in every branch and warehouse; by line ID and lot.
    std::unordered_map<std::string, Value> caducidadesPorLote(const std::string& documento) const
    {
        db::Recordset e = m_c.Execute(
            "SELECT l.Ld_ID, l.Lt_Cve_Lote, e.Lt_Fecha_Caducidad FROM Lote_Documento l "
            // The warehouse lists let each lot be found through the stock key instead of a
            // scan of every lot of the company per printed lot.
            "LEFT JOIN Existencia_Lote e ON e.Sc_Cve_Sucursal IN (SELECT Sc_Cve_Sucursal FROM Almacen) "
            "AND e.Al_Cve_Almacen IN (SELECT Al_Cve_Almacen FROM Almacen) AND e.Pr_Cve_Producto = l.Pr_Cve_Producto "
            "AND e.Tl_Cve_Talla = l.Tl_Cve_Talla AND e.Cl_Cve_Color = l.Cl_Cve_Color AND e.Lt_Cve_Lote = l.Lt_Cve_Lote "
            + documento + " ORDER BY l.Ld_ID, l.Lt_Cve_Lote, e.Sc_Cve_Sucursal, e.Al_Cve_Almacen");
        std::unordered_map<std::string, Value> out;
        for (; !e.Eof(); e.MoveNext())
            out.emplace(e.Fields(size_t{0}).toString() + '\x1f' + e.Fields(size_t{1}).toString(), e.Fields(size_t{2}));
        return out;
    }

    db::Connection& m_c;
};

} // namespace

bool Impresion::escribe(const std::string& name, std::vector<DocumentoImpreso> documentos)
{
    std::string text;
    for (const Documento& d : documentos) {
        if (!text.empty())
            text.push_back('\f');
        texto(d, text);
    }
    std::error_code ec;
    const fs::path folder = m_e.carpetaSalida.empty() ? fs::path(".") : fs::path(m_e.carpetaSalida);
    fs::create_directories(folder, ec);
    const fs::path file = folder / (name + ".txt");
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        m_ultimoError = "No se pudo escribir " + file.string();
        return false;
    }
    m_ultimoArchivo = file.string();
    m_e.dialogos.impreso(std::move(documentos));
    return true;
}

// The print format's table says what is printed: 'Remision' formats (and no format at all)
// print the delivery note; 'Factura' formats print the invoice, payment receipt or promissory
// note named by the folio, several folios being separated by '@' or '|'. An empty folio prints
// the blank form. The text goes to <carpetaSalida>/<FORMAT>_<folio>.txt.
bool Impresion::Imprime(const std::string& format, const std::string& folio, const OpcionesImpresion&)
{
    Formato fmt;
    if (!formato(format, fmt))
        return false;
    const std::string name = nombreArchivo(fmt.code) + "_" + (folio.empty() ? "blanco" : nombreArchivo(folio));
    std::vector<Documento> documentos;
    if (folio.empty())
        documentos.push_back(Composicion(m_e.conexion).enBlanco(fmt.titulo));
    else if (!lee(fmt, folio, documentos))
        return false;
    return escribe(name, std::move(documentos));
}

bool Impresion::formato(const std::string& format, Formato& out)
{
    out.code = format.empty() ? "REMISION" : format;
    db::Recordset f =
        m_e.conexion.Execute("SELECT Fi_Descripcion, Fi_Tabla FROM Formato_Impresion WHERE Fi_Cve_Formato = "
                             + sql::texto(out.code));
    if (f.Eof() && !format.empty()) {
        m_ultimoError = "El formato de impresión " + format + " no existe";
        return false;
    }
    out.factura = !f.Eof() && sameKey(f.Fields("Fi_Tabla").toString(), "Factura");
    out.titulo = out.factura ? f.Fields("Fi_Descripcion").toString() : std::string("Remisión");
    return true;
}

bool Impresion::lee(const Formato& fmt, const std::string& folio, std::vector<DocumentoImpreso>& documentos)
{
    Composicion composicion(m_e.conexion);
    for (const std::string& piece : folios(folio)) {
        auto d = fmt.factura ? composicion.factura(piece) : composicion.remision(piece);
        if (!d) {
            m_ultimoError = "No existe el documento " + piece + " para el formato " + fmt.code;
            return false;
        }
        documentos.push_back(std::move(*d));
    }
    return true;
}

std::vector<DocumentoImpreso> Impresion::Documentos(const std::string& format, const std::string& folio)
{
    Formato fmt;
    if (!formato(format, fmt))
        return {};
    std::vector<DocumentoImpreso> documentos;
    if (!lee(fmt, folio, documentos))
        documentos.clear();
    return documentos;
}

// "TABLE|FOLIO" as the document writers report what they generated.
bool Impresion::ImprimeDocumento(const std::string& document, const OpcionesImpresion&)
{
    const auto bar = document.find('|');
    if (bar == std::string::npos || bar == 0 || bar + 1 >= document.size()) {
        m_ultimoError = "Documento a imprimir no válido: '" + document + "'";
        return false;
    }
    const std::string table = document.substr(0, bar);
    const std::string folio = document.substr(bar + 1);
    Composicion composicion(m_e.conexion);
    std::optional<Documento> d;
    if (sameKey(table, "Remision"))
        d = composicion.remision(folio);
    else if (sameKey(table, "Factura"))
        d = composicion.factura(folio);
    else if (sameKey(table, "Venta"))
        d = composicion.venta(folio);
    else {
        m_ultimoError = "No se imprimen documentos de la tabla " + table;
        return false;
    }
    if (!d) {
        m_ultimoError = "No existe el documento " + folio + " de la tabla " + table;
        return false;
    }
    // Not a braced list: that would copy the document.
    std::vector<Documento> documentos;
    documentos.push_back(std::move(*d));
    return escribe(nombreArchivo(upperAscii(table)) + "_" + nombreArchivo(folio), std::move(documentos));
}

// The arguments after the title place and size the viewer on the desktop.
void Impresion::MuestraTexto(const std::string& text, const std::string& title, const VentanaTexto&)
{
    m_e.dialogos.muestraTexto(title, text);
}

} // namespace tesmira::host

#include "host/output/Impresion.h"

#include "base/Error.h"
#include "base/Text.h"
#include "base/Vb.h"
#include "db/Connection.h"
#include "host/services/Dialogos.h"
#include "host/services/ServiciosSql.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <unordered_map>
#include <vector>

namespace tesmira::host {

namespace {

namespace fs = std::filesystem;

std::string ajusta(const std::string& s, size_t width, bool right = false)
{
    std::string cut(utf8Left(s, width));
    const std::string pad(width - utf8Length(cut), ' ');
    return right ? pad + cut : cut + pad;
}

std::string cantidad(double v) { return vb::formatNumber(v, v == std::floor(v) ? "#,##0" : "#,##0.###"); }
std::string dinero(double v) { return vb::formatNumber(v, "#,##0.00"); }
std::string fecha(const Value& v) { return v.isNull() ? std::string() : vb::formatDate(v.toDate()); }

// File names keep letters, digits, '-' and '_'; anything else a folio may hold becomes '_'.
std::string nombreArchivo(const std::string& s)
{
    std::string out;
    for (unsigned char c : s)
        out += (std::isalnum(c) || c == '-' || c == '_') ? static_cast<char>(c) : '_';
    return out;
}

using Linea = LineaImpresa;
using Documento = DocumentoImpreso;

class Render {
public:
    explicit Render(db::Connection& c) : m_c(c) {}

    std::string texto(const Documento& d, bool blank) const
    {
        std::ostringstream out;
        empresa(out);
        out << d.titulo << (d.folio.empty() ? "" : " " + d.folio) << '\n';
        if (d.estado == "CA")
            out << "*** CANCELADA ***\n";
        out << "Fecha: " << fecha(d.fecha) << "    Referencia: " << d.referencia << '\n';
        if (!d.extra.empty())
            out << d.extra << '\n';
        out << "Cliente: " << d.cliente << '\n';
        out << "Entregar en: " << d.direccion << '\n';
        out << "Sucursal: " << d.sucursal << "    Almacén: " << d.almacen << '\n';
        out << "Moneda: " << d.moneda << "    Tipo de cambio: " << vb::formatNumber(d.tipoCambio, "0.0000") << "\n\n";
        out << ajusta("ID", 5) << ajusta("Producto", 10) << ajusta("Descripción", 33) << ' ' << ajusta("Talla", 6)
            << ajusta("Color", 6) << ajusta("Cantidad", 12, true) << ' ' << ajusta("Unidad", 6)
            << ajusta("Precio", 14, true) << ajusta("Importe", 16, true) << '\n';
        out << std::string(109, '-') << '\n';
        double subtotal = 0;
        for (const auto& l : d.lineas) {
            out << ajusta(l.id, 5) << ajusta(l.producto, 10) << ajusta(l.descripcion, 33) << ' ' << ajusta(l.talla, 6)
                << ajusta(l.color, 6) << ajusta(cantidad(l.cantidad), 12, true) << ' ' << ajusta(l.unidad, 6)
                << ajusta(dinero(l.precio), 14, true) << ajusta(dinero(l.importe), 16, true) << '\n';
            for (const auto& detalle : l.detalle)
                out << std::string(15, ' ') << detalle << '\n';
            subtotal += l.importe;
        }
        if (blank)
            for (int i = 0; i < 10; ++i)
                out << '\n';
        out << std::string(109, '-') << '\n';
        const double total = subtotal - d.descuentoGlobal + d.impuesto;
        out << ajusta("Subtotal:", 93, true) << ajusta(dinero(subtotal), 16, true) << '\n';
        out << ajusta("Descuento global:", 93, true) << ajusta(dinero(d.descuentoGlobal), 16, true) << '\n';
        out << ajusta("Impuestos:", 93, true) << ajusta(dinero(d.impuesto), 16, true) << '\n';
        out << ajusta("Total:", 93, true) << ajusta(dinero(total), 16, true) << '\n';
        return out.str();
    }

    std::optional<Documento> remision(const std::string& folio) const
    {
        db::Recordset h = m_c.Execute("SELECT * FROM Remision_Encabezado WHERE Rm_Folio = " + sql::texto(folio));
        if (h.Eof())
            return std::nullopt;
        Documento d = encabezado(h, "Rm_", "Remisión", "Remision");
        d.extra = "Pedido: " + h.Fields("Rm_Documento").toString()
            + (h.Fields("Rm_Factura").toString().empty() ? "" : "    Factura: " + h.Fields("Rm_Factura").toString());
        d.descuentoGlobal = h.Fields("Rm_Descuento_Global_Importe").toDouble();
        lineas(d, "Remision", "Rm_", "Rm_Folio", folio);
        return d;
    }

    std::optional<Documento> venta(const std::string& folio, const std::string& titulo) const
    {
        db::Recordset h = m_c.Execute("SELECT * FROM Venta_Encabezado WHERE Vn_Folio = " + sql::texto(folio));
        if (h.Eof())
            return std::nullopt;
        Documento d = encabezado(h, "Vn_", titulo, "Venta");
        d.extra = "Venta: " + folio + "    Remisión: " + h.Fields("Vn_Documento").toString();
        lineas(d, "Venta", "Vn_", "Vn_Folio", folio);
        return d;
    }

    // An invoice is printed from its sale; receipts and promissory notes name their invoice.
    std::optional<Documento> factura(const std::string& folio, const std::string& titulo) const
    {
        const std::string wanted = sql::texto("%|" + folio + "|%");
        db::Recordset f = m_c.Execute(
            "SELECT TOP 1 Fc_Factura, Fc_Documento FROM Factura WHERE Fc_Factura = " + sql::texto(folio)
            + " OR '|' + Fc_Recibo_Pago + '|' LIKE " + wanted + " OR '|' + Fc_Pagares + '|' LIKE " + wanted);
        if (f.Eof())
            return std::nullopt;
        auto d = venta(f.Fields("Fc_Documento").toString(), titulo);
        if (!d)
            return std::nullopt;
        d->folio = folio;
        d->extra = "Factura: " + f.Fields("Fc_Factura").toString() + "    " + d->extra;
        return d;
    }

private:
    void empresa(std::ostream& out) const
    {
        db::Recordset e = m_c.Execute("SELECT TOP 1 Em_Razon_Social, Em_R_F_C, Em_Direccion FROM Empresa");
        if (!e.Eof())
            out << e.Fields("Em_Razon_Social").toString() << '\n'
                << "RFC " << e.Fields("Em_R_F_C").toString() << '\n'
                << e.Fields("Em_Direccion").toString() << '\n';
        out << '\n';
    }

    Documento encabezado(const db::Recordset& h, const std::string& p, const std::string& titulo,
                         const std::string& tabla) const
    {
        Documento d;
        datosEmpresa(d);
        d.titulo = titulo;
        d.folio = h.Fields(p + "Folio").toString();
        d.fecha = h.Fields(p + "Fecha");
        d.referencia = h.Fields(p + "Referencia").toString();
        d.estado = h.Fields("Es_Cve_Estado").toString();
        d.moneda = h.Fields("Mn_Cve_Moneda").toString();
        d.tipoCambio = h.Fields(p + "Tipo_Cambio").toDouble();
        const std::string customer = h.Fields("Cl_Cve_Cliente").toString();
        db::Recordset c = m_c.Execute("SELECT Cl_Descripcion, Cl_R_F_C FROM Cliente WHERE Cl_Cve_Cliente = "
                                      + sql::texto(customer));
        d.cliente = customer
            + (c.Eof() ? "" : " " + c.Fields("Cl_Descripcion").toString() + "  RFC " + c.Fields("Cl_R_F_C").toString());
        d.clienteRfc = c.Eof() ? "" : c.Fields("Cl_R_F_C").toString();
        const std::string branch = h.Fields("Sc_Cve_Sucursal").toString();
        d.sucursal = branch + " "
            + sql::valor(m_c, "SELECT Sc_Descripcion FROM Sucursal WHERE Sc_Cve_Sucursal = " + sql::texto(branch))
                  .toString();
        const std::string warehouse = h.Fields("Al_Cve_Almacen").toString();
        d.almacen = warehouse + " "
            + sql::valor(m_c, "SELECT Al_Descripcion FROM Almacen WHERE Sc_Cve_Sucursal = " + sql::texto(branch)
                                  + " AND Al_Cve_Almacen = " + sql::texto(warehouse))
                  .toString();
        d.direccion = sql::valor(m_c,
                                 "SELECT CASE e.De_Direccion_1 WHEN '' THEN e.De_Calle + ' ' + e.De_Numero_Interior "
                                 "+ ' ' + e.De_Numero_Exterior + ' ' + e.De_Cruzamiento_1 + ' ' + e.De_Cruzamiento_2 "
                                 "ELSE e.De_Direccion_1 END FROM Domicilio_Documento d "
                                 "INNER JOIN Direccion_Entrega e ON e.De_Tabla = d.Dd_Tipo "
                                 "AND e.De_Documento = d.Dd_Clave AND e.De_ID = d.De_ID WHERE d.Dd_Tabla = "
                                     + sql::texto(tabla) + " AND d.Dd_Documento = " + sql::texto(d.folio))
                          .toString();
        return d;
    }

    void lineas(Documento& d, const std::string& table, const std::string& p, const std::string& key,
                const std::string& folio) const
    {
        db::Recordset rs = m_c.Execute("SELECT * FROM " + table + " WHERE " + key + " = " + sql::texto(folio)
                                       + " ORDER BY " + p + "ID");
        for (; !rs.Eof(); rs.MoveNext()) {
            Linea l;
            l.id = rs.Fields(p + "ID").toString();
            l.producto = rs.Fields("Pr_Cve_Producto").toString();
            l.descripcion = rs.Fields(p + "Descripcion").toString();
            l.talla = rs.Fields("Tl_Cve_Talla").toString();
            l.color = rs.Fields("Cl_Cve_Color").toString();
            l.cantidad = rs.Fields(p + "Cantidad_1").toDouble();
            l.unidad = rs.Fields(p + "Unidad_1").toString();
            l.precio = rs.Fields(p + "Precio_Descontado").toDouble();
            l.importe = rs.Fields(p + "Precio_Descontado_Importe").toDouble();
            d.impuesto += rs.Fields(p + "Impuesto_Importe").toDouble();
            d.lineas.push_back(std::move(l));
        }
        detalles(d, table, folio);
    }

    // The lots and serial numbers of each line, read once for the whole document.
    void detalles(Documento& d, const std::string& table, const std::string& folio) const
    {
        std::unordered_map<std::string, size_t> porId;
        for (size_t i = 0; i < d.lineas.size(); ++i)
            porId.emplace(d.lineas[i].id, i);
        db::Recordset lotes = m_c.Execute(
            "SELECT l.Ld_ID, l.Lt_Cve_Lote, l.Ld_Cantidad_Control_1, e.Lt_Fecha_Caducidad FROM Lote_Documento l "
            // The warehouse lists let each lot be found through the stock key instead of a
            // scan of every lot of the company per printed lot.
            "LEFT JOIN Existencia_Lote e ON e.Sc_Cve_Sucursal IN (SELECT Sc_Cve_Sucursal FROM Almacen) "
            "AND e.Al_Cve_Almacen IN (SELECT Al_Cve_Almacen FROM Almacen) AND e.Pr_Cve_Producto = l.Pr_Cve_Producto "
            "AND e.Tl_Cve_Talla = l.Tl_Cve_Talla AND e.Cl_Cve_Color = l.Cl_Cve_Color AND e.Lt_Cve_Lote = l.Lt_Cve_Lote "
            "WHERE l.Ld_Tabla = "
            + sql::texto(table) + " AND l.Ld_Documento = " + sql::texto(folio) + " ORDER BY l.Ld_ID, l.Lt_Cve_Lote");
        for (std::string ultimo; !lotes.Eof(); lotes.MoveNext()) {
            auto it = porId.find(lotes.Fields(size_t{0}).toString());
            const std::string lote = lotes.Fields(size_t{1}).toString();
            // A lot held in several warehouses joins once per warehouse: one text per lot.
            if (it == porId.end() || ultimo == lotes.Fields(size_t{0}).toString() + "|" + lote)
                continue;
            ultimo = lotes.Fields(size_t{0}).toString() + "|" + lote;
            const Value caducidad = lotes.Fields(size_t{3});
            d.lineas[it->second].detalle.push_back(
                "Lote " + lote + ": " + cantidad(lotes.Fields(size_t{2}).toDouble())
                + (caducidad.isNull() ? "" : "  caducidad " + fecha(caducidad)));
        }
        db::Recordset series = m_c.Execute("SELECT Sd_ID, Sr_Cve_Serie FROM Serie_Documento WHERE Sd_Tabla = "
                                           + sql::texto(table) + " AND Sd_Documento = " + sql::texto(folio)
                                           + " ORDER BY Sd_ID, Sr_Cve_Serie");
        for (; !series.Eof(); series.MoveNext())
            if (auto it = porId.find(series.Fields(size_t{0}).toString()); it != porId.end())
                d.lineas[it->second].detalle.push_back("Serie " + series.Fields(size_t{1}).toString());
    }

    void datosEmpresa(Documento& d) const
    {
        db::Recordset e = m_c.Execute("SELECT TOP 1 Em_Razon_Social, Em_R_F_C, Em_Direccion FROM Empresa");
        if (e.Eof())
            return;
        d.empresa = e.Fields("Em_Razon_Social").toString();
        d.empresaRfc = e.Fields("Em_R_F_C").toString();
        d.empresaDireccion = e.Fields("Em_Direccion").toString();
    }

    db::Connection& m_c;
};

} // namespace

bool Impresion::escribe(const std::string& name, const std::string& text)
{
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
    Render render(m_e.conexion);
    const std::string name = nombreArchivo(fmt.code) + "_" + (folio.empty() ? "blanco" : nombreArchivo(folio));
    if (folio.empty()) {
        Documento blank;
        blank.titulo = fmt.titulo;
        return escribe(name, render.texto(blank, true));
    }
    std::vector<Documento> documentos;
    if (!lee(fmt, folio, documentos))
        return false;
    std::string text;
    for (const Documento& d : documentos)
        text += (text.empty() ? "" : "\f") + render.texto(d, false);
    return escribe(name, text);
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
    Render render(m_e.conexion);
    std::string pending = folio;
    for (char& c : pending)
        if (c == '@')
            c = '|';
    std::stringstream pieces(pending);
    for (std::string piece; std::getline(pieces, piece, '|');) {
        if (piece.empty())
            continue;
        auto d = fmt.factura ? render.factura(piece, fmt.titulo) : render.remision(piece);
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
    Render render(m_e.conexion);
    std::optional<Documento> d;
    if (sameKey(table, "Remision"))
        d = render.remision(folio);
    else if (sameKey(table, "Factura"))
        d = render.factura(folio, "Factura");
    else if (sameKey(table, "Venta"))
        d = render.venta(folio, "Venta");
    else {
        m_ultimoError = "No se imprimen documentos de la tabla " + table;
        return false;
    }
    if (!d) {
        m_ultimoError = "No existe el documento " + folio + " de la tabla " + table;
        return false;
    }
    return escribe(nombreArchivo(upperAscii(table)) + "_" + nombreArchivo(folio), render.texto(*d, false));
}

// The arguments after the title place and size the viewer on the desktop.
void Impresion::MuestraTexto(const std::string& text, const std::string& title, const VentanaTexto&)
{
    m_e.dialogos.muestraTexto(title, text);
}

} // namespace tesmira::host

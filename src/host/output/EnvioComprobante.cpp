#include "host/output/EnvioComprobante.h"

#include "base/Text.h"
#include "db/Connection.h"
#include "host/services/ServiciosSql.h"
#include "host/writers/Escritura.h"

#include <openssl/evp.h>

#include <cctype>
#include <filesystem>
#include <fstream>

namespace tesmira::host {

using sql::texto;

namespace {

std::string xml(const std::string& text)
{
    std::string out;
    for (char ch : text) {
        switch (ch) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += ch;
        }
    }
    return out;
}

// Base64 in lines of 76 characters, as mail attachments are written.
std::string base64Lineas(const std::string& data)
{
    std::string out;
    for (size_t i = 0; i < data.size(); i += 57) {
        const std::string trozo = data.substr(i, 57);
        std::string linea(4 * ((trozo.size() + 2) / 3) + 1, '\0');
        const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(linea.data()),
                                      reinterpret_cast<const unsigned char*>(trozo.data()),
                                      static_cast<int>(trozo.size()));
        linea.resize(static_cast<size_t>(n));
        out += linea + "\r\n";
    }
    return out;
}

// File names keep letters, digits, '-' and '_' only.
std::string nombreArchivo(const std::string& text)
{
    std::string out;
    for (unsigned char ch : text)
        out += std::isalnum(ch) || ch == '-' || ch == '_' ? static_cast<char>(ch) : '_';
    return out;
}

} // namespace

EnvioComprobante::EnvioComprobante(Entorno& entorno) : m_e(entorno) {}

EnvioComprobante::~EnvioComprobante() = default;

bool EnvioComprobante::Envia(const std::string& table, const std::string& document)
{
    auto& c = m_e.conexion;
    auto cd = c.Execute("SELECT Cd_Fecha, Cd_Cadena_Original, Cd_Sello, Es_Cve_Estado FROM Comprobante_Digital "
                        "WHERE Cd_Tabla = " + texto(table) + " AND Cd_Documento = " + texto(document));
    if (cd.Eof() || sameKey(cd.Fields("Es_Cve_Estado").toString(), "CA")) {
        m_ultimoError = "No existe el comprobante digital " + table + " " + document;
        return false;
    }
    if (!sameKey(table, "Factura")) {
        m_ultimoError = "No se envían comprobantes de la tabla: " + table;
        return false;
    }
    auto destino = c.Execute("SELECT Cliente.Cl_Cve_Cliente, Cliente.Cl_Email, Cliente.Cl_Razon_Social_1 FROM Factura "
                             "INNER JOIN Cliente ON Cliente.Cl_Cve_Cliente = Factura.Cl_Cve_Cliente "
                             "WHERE Factura.Fc_Factura = " + texto(document));
    const std::string para = destino.Eof() ? "" : destino.Fields("Cl_Email").toString();
    if (para.empty()) {
        m_ultimoError = "El cliente de la factura " + document + " no tiene correo electrónico";
        return false;
    }
    auto empresa = c.Execute("SELECT TOP 1 Em_Email, Em_Razon_Social FROM Empresa ORDER BY Em_Cve_Empresa");
    const std::string de = empresa.Eof() ? "" : empresa.Fields("Em_Email").toString();

    const std::string adjunto =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Comprobante Tabla=\"" + xml(table) + "\" Documento=\"" +
        xml(document) + "\" Fecha=\"" + xml(cd.Fields("Cd_Fecha").toString()) + "\">\r\n  <CadenaOriginal>" +
        xml(cd.Fields("Cd_Cadena_Original").toString()) + "</CadenaOriginal>\r\n  <Sello>" +
        xml(cd.Fields("Cd_Sello").toString()) + "</Sello>\r\n</Comprobante>\r\n";
    const std::string frontera = "=_tesmira_" + nombreArchivo(document);
    const std::string mensaje =
        "From: " + de + "\r\nTo: " + para + "\r\nSubject: Factura " + document +
        "\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"" + frontera + "\"\r\n\r\n--" + frontera +
        "\r\nContent-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: 8bit\r\n\r\n"
        "Estimado cliente " + (destino.Fields("Cl_Razon_Social_1").toString()) +
        ":\r\n\r\nAdjuntamos el comprobante digital de la factura " + document + ".\r\n\r\n--" + frontera +
        "\r\nContent-Type: application/xml; name=\"" + nombreArchivo(document) +
        ".xml\"\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=\"" +
        nombreArchivo(document) + ".xml\"\r\n\r\n" + base64Lineas(adjunto) + "--" + frontera + "--\r\n";

    namespace fs = std::filesystem;
    const fs::path carpeta = fs::path(m_e.carpetaSalida) / "outbox";
    std::error_code ec;
    fs::create_directories(carpeta, ec);
    const fs::path archivo = carpeta / (nombreArchivo(table) + "-" + nombreArchivo(document) + ".eml");
    std::ofstream out(archivo, std::ios::binary | std::ios::trunc);
    out << mensaje;
    out.close();
    if (ec || !out) {
        m_ultimoError = "No se pudo escribir el mensaje " + archivo.string();
        return false;
    }
    m_archivo = archivo.string();
    const std::string sql = "UPDATE Comprobante_Digital SET Cd_Enviado = 'SI', Oper_Ult_Modif = " + texto(m_e.usuario) +
                            ", Fecha_Ult_Modif = " + texto(escritura::sello(m_e)) + " WHERE Cd_Tabla = " +
                            texto(table) + " AND Cd_Documento = " + texto(document);
    c.Execute(sql);
    return true;
}

} // namespace tesmira::host

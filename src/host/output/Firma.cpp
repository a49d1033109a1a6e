#include "host/output/Firma.h"

#include "base/Error.h"
#include "base/Text.h"
#include "db/Connection.h"
#include "db/Savepoint.h"
#include "host/services/ServiciosSql.h"
#include "host/writers/Escritura.h"
#include "host/writers/Inventario.h"

#include <openssl/evp.h>
#include <openssl/pem.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace tesmira::host {

using sql::texto;

namespace {

struct LiberaLlave {
    void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
};
struct LiberaBio {
    void operator()(BIO* b) const { BIO_free(b); }
};
struct LiberaContexto {
    void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};
using Llave = std::unique_ptr<EVP_PKEY, LiberaLlave>;
using Bio = std::unique_ptr<BIO, LiberaBio>;
using Contexto = std::unique_ptr<EVP_MD_CTX, LiberaContexto>;

std::string textoBio(BIO* bio)
{
    char* data = nullptr;
    const long n = BIO_get_mem_data(bio, &data);
    return std::string(data, static_cast<size_t>(n));
}

// The BIO reads the caller's buffer in place: it must outlive the BIO.
Bio bioDe(const std::string& pem)
{
    Bio bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    if (!bio)
        throw Error("No se pudo leer la llave");
    return bio;
}

std::string base64(const std::vector<unsigned char>& data)
{
    std::string out(4 * ((data.size() + 2) / 3) + 1, '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), data.data(),
                                  static_cast<int>(data.size()));
    out.resize(static_cast<size_t>(n));
    return out;
}

std::optional<std::vector<unsigned char>> desdeBase64(const std::string& text)
{
    if (text.empty() || text.size() % 4 != 0)
        return std::nullopt;
    std::vector<unsigned char> out(text.size() / 4 * 3);
    const int n = EVP_DecodeBlock(out.data(), reinterpret_cast<const unsigned char*>(text.data()),
                                  static_cast<int>(text.size()));
    if (n < 0)
        return std::nullopt;
    size_t relleno = 0;
    for (auto it = text.rbegin(); it != text.rend() && *it == '='; ++it)
        ++relleno;
    out.resize(static_cast<size_t>(n) - relleno);
    return out;
}

std::string fijo(double value, int decimals)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    return buf;
}

// Canonical text fields must not carry the separator.
std::string campo(const std::string& value)
{
    std::string out = value;
    for (auto& ch : out)
        if (ch == '|')
            ch = '/';
    return out;
}

struct ParLlaves {
    std::string privada, publica;
};

ParLlaves parGuardado(db::Connection& c)
{
    auto rs = c.Execute("SELECT TOP 1 Em_Cve_Empresa, Em_Llave_Privada, Em_Llave_Publica FROM Empresa "
                        "ORDER BY Em_Cve_Empresa");
    if (rs.Eof())
        throw Error("No están registrados los datos de la empresa");
    return {rs.Fields("Em_Llave_Privada").toString(), rs.Fields("Em_Llave_Publica").toString()};
}

ParLlaves parNuevo()
{
    Llave llave(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
    if (!llave)
        throw Error("No se pudo generar la llave de la empresa");
    Bio privada(BIO_new(BIO_s_mem())), publica(BIO_new(BIO_s_mem()));
    if (!privada || !publica ||
        PEM_write_bio_PrivateKey(privada.get(), llave.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1 ||
        PEM_write_bio_PUBKEY(publica.get(), llave.get()) != 1)
        throw Error("No se pudo escribir la llave de la empresa");
    return {textoBio(privada.get()), textoBio(publica.get())};
}

// The company's key pair; generated (EC P-256) and stored on first use. Two sessions signing
// their first invoices at once must end with one pair: the write only fills a missing pair,
// and whoever lost the race takes the pair that is stored.
ParLlaves llaves(Entorno& e)
{
    auto& c = e.conexion;
    if (auto par = parGuardado(c); !par.privada.empty() && !par.publica.empty())
        return par;
    const ParLlaves nuevo = parNuevo();
    db::Savepoint guarda(c);
    c.Execute("UPDATE Empresa SET Em_Llave_Privada = " + texto(nuevo.privada) + ", Em_Llave_Publica = " +
              texto(nuevo.publica) +
              " WHERE Em_Cve_Empresa = (SELECT TOP 1 Em_Cve_Empresa FROM Empresa ORDER BY Em_Cve_Empresa)"
              " AND (isnull(Em_Llave_Privada, '') = '' OR isnull(Em_Llave_Publica, '') = '')");
    ParLlaves par = parGuardado(c);
    guarda.commit();
    return par;
}

std::string firma(const std::string& privadaPem, const std::string& text)
{
    auto bio = bioDe(privadaPem);
    Llave llave(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr));
    Contexto ctx(EVP_MD_CTX_new());
    if (!llave || !ctx || EVP_DigestSignInit(ctx.get(), nullptr, EVP_sha256(), nullptr, llave.get()) != 1)
        throw Error("No se pudo firmar con la llave de la empresa");
    // One call only: asking for the length first would hash the text twice on some releases.
    size_t n = static_cast<size_t>(EVP_PKEY_get_size(llave.get()));
    std::vector<unsigned char> sello(n);
    if (EVP_DigestSign(ctx.get(), sello.data(), &n, reinterpret_cast<const unsigned char*>(text.data()),
                       text.size()) != 1)
        throw Error("No se pudo firmar con la llave de la empresa");
    sello.resize(n);
    return base64(sello);
}

} // namespace

Firma::Firma(Entorno& entorno) : m_e(entorno) {}

Firma::~Firma() = default;

std::string Firma::LlavePublica()
{
    return llaves(m_e).publica;
}

std::string Firma::CadenaOriginal(const std::string& folio) const
{
    auto& c = m_e.conexion;
    auto fc = c.Execute("SELECT * FROM Factura WHERE Fc_Factura = " + texto(folio));
    if (fc.Eof())
        throw Error("No existe la factura: " + folio);
    auto em = c.Execute("SELECT TOP 1 Em_R_F_C FROM Empresa ORDER BY Em_Cve_Empresa");
    const std::string cliente = fc.Fields("Cl_Cve_Cliente").toString();
    auto cl = c.Execute("SELECT Cl_R_F_C FROM Cliente WHERE Cl_Cve_Cliente = " + texto(cliente));
    auto f = [&](const char* name) { return campo(fc.Fields(name).toString()); };
    std::string cadena = "||1.0|" + f("Fc_Factura") + "|" + f("Fc_Serie") + "|" + f("Fc_Numero") + "|" +
                         (fc.Fields("Fc_Fecha").isNull() ? "" : campo(fc.Fields("Fc_Fecha").toString())) + "|" +
                         (em.Eof() ? "" : campo(em.Fields("Em_R_F_C").toString())) + "|" + campo(cliente) + "|" +
                         (cl.Eof() ? "" : campo(cl.Fields("Cl_R_F_C").toString())) + "|" + f("Mn_Cve_Moneda") + "|" +
                         fijo(fc.Fields("Fc_Tipo_Cambio").toDouble(), 4) + "|" + f("Fc_Condicion_Venta");
    auto lineas = c.Execute("SELECT Vn_ID, Pr_Cve_Producto, Vn_Descripcion, Vn_Cantidad_1, Vn_Unidad_1, "
                            "Vn_Precio_Descontado, Vn_Precio_Descontado_Importe, Vn_Impuesto_Importe FROM Venta "
                            "WHERE Vn_Folio = " + texto(fc.Fields("Fc_Documento").toString()) + " ORDER BY Vn_ID");
    for (; !lineas.Eof(); lineas.MoveNext()) {
        auto l = [&](const char* name) { return campo(lineas.Fields(name).toString()); };
        cadena += "|" + l("Vn_ID") + "|" + l("Pr_Cve_Producto") + "|" + l("Vn_Descripcion") + "|" +
                  fijo(lineas.Fields("Vn_Cantidad_1").toDouble(), 6) + "|" + l("Vn_Unidad_1") + "|" +
                  fijo(lineas.Fields("Vn_Precio_Descontado").toDouble(), 4) + "|" +
                  fijo(lineas.Fields("Vn_Precio_Descontado_Importe").toDouble(), 2) + "|" +
                  fijo(lineas.Fields("Vn_Impuesto_Importe").toDouble(), 2);
    }
    cadena += "|" + fijo(fc.Fields("Fc_Subtotal").toDouble(), 2) + "|" + fijo(fc.Fields("Fc_Impuesto").toDouble(), 2) +
              "|" + fijo(fc.Fields("Fc_Total").toDouble(), 2) + "||";
    return cadena;
}

std::string Firma::FirmaFactura(const std::string& folio)
{
    auto& c = m_e.conexion;
    try {
        auto fc = c.Execute("SELECT Es_Cve_Estado FROM Factura WHERE Fc_Factura = " + texto(folio));
        if (fc.Eof())
            return "No existe la factura: " + folio;
        if (sameKey(fc.Fields("Es_Cve_Estado").toString(), "CA"))
            return "La factura " + folio + " está cancelada";
        const std::string cadena = CadenaOriginal(folio);
        const std::string sello = firma(llaves(m_e).privada, cadena);
        const std::string fecha = escritura::sello(m_e);
        // Signing normally follows the invoice's commit; inside a caller's transaction it joins it.
        db::Savepoint guarda(c);
        c.Execute("DELETE FROM Comprobante_Digital WHERE Cd_Tabla = 'Factura' AND Cd_Documento = " + texto(folio));
        c.Execute("INSERT INTO Comprobante_Digital (Cd_Tabla, Cd_Documento, Cd_Fecha, Cd_Cadena_Original, "
                  "Cd_Sello, Cd_Enviado, Es_Cve_Estado, Oper_Ult_Modif, Fecha_Ult_Modif) VALUES ('Factura', " +
                  texto(folio) + ", " + texto(fecha) + ", " + texto(cadena) + ", " + texto(sello) + ", 'NO', 'AC', " +
                  texto(m_e.usuario) + ", " + texto(fecha) + ")");
        guarda.commit();
        return "";
    } catch (const std::exception& e) {
        return e.what();
    }
}

std::string Firma::FirmaDocumento(const std::string& text)
{
    const auto partes = inventario::separa(text);
    if (partes.size() != 3 || partes[1] != "1")
        return "Documento a firmar no válido: " + text;
    if (!sameKey(partes[0], m_e.conexion.DefaultDatabase()))
        return "La base de datos " + partes[0] + " no es la de la sesión";
    return FirmaFactura(partes[2]);
}

bool Firma::verifica(const std::string& text, const std::string& signatureBase64)
{
    const auto sello = desdeBase64(signatureBase64);
    if (!sello)
        return false;
    const std::string publica = llaves(m_e).publica; // the BIO reads this buffer in place
    auto bio = bioDe(publica);
    Llave llave(PEM_read_bio_PUBKEY(bio.get(), nullptr, nullptr, nullptr));
    Contexto ctx(EVP_MD_CTX_new());
    if (!llave || !ctx || EVP_DigestVerifyInit(ctx.get(), nullptr, EVP_sha256(), nullptr, llave.get()) != 1)
        return false;
    return EVP_DigestVerify(ctx.get(), sello->data(), sello->size(),
                            reinterpret_cast<const unsigned char*>(text.data()), text.size()) == 1;
}

bool Firma::verificaComprobante(const std::string& table, const std::string& document)
{
    if (!sameKey(table, "Factura"))
        return false;
    auto rs = m_e.conexion.Execute("SELECT Cd_Cadena_Original, Cd_Sello FROM Comprobante_Digital WHERE Cd_Tabla = " +
                                   texto(table) + " AND Cd_Documento = " + texto(document));
    if (rs.Eof())
        return false;
    const std::string cadena = rs.Fields("Cd_Cadena_Original").toString();
    return cadena == CadenaOriginal(document) && verifica(cadena, rs.Fields("Cd_Sello").toString());
}

} // namespace tesmira::host

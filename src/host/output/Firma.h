#pragma once
// Digital signature of invoices: the invoice's canonical text (cadena original) signed with
// the company's private key (SHA-256), stored in Comprobante_Digital ('Factura', folio).
// The company's key pair (PEM, in Empresa) is generated on first use.
#include "host/services/Entorno.h"

#include <string>

namespace tesmira::host {

class Firma {
public:
    explicit Firma(Entorno& entorno);
    ~Firma();
    Firma(const Firma&) = delete;
    Firma& operator=(const Firma&) = delete;

    // What Padre.FirmaDocumento receives: "<database>|1|<invoice folio>". Answers "" when
    // signed, otherwise the reason (malformed text, unknown or cancelled invoice, key errors).
    std::string FirmaDocumento(const std::string& text);
    // Signs one invoice; "" when signed. Signing again replaces the stored signature.
    std::string FirmaFactura(const std::string& folio);
    // The invoice's canonical text: "||" + fields of the invoice and its lines joined by "|".
    // Throws Error for an unknown invoice.
    std::string CadenaOriginal(const std::string& folio) const;
    // True when the signature (base64) matches the text under the company's public key.
    bool verifica(const std::string& text, const std::string& signatureBase64);
    // True when the stored signature of the digital document still matches the invoice.
    bool verificaComprobante(const std::string& table, const std::string& document);
    // The company's public key (PEM), generating the pair when missing.
    std::string LlavePublica();

private:
    Entorno& m_e;
};

} // namespace tesmira::host

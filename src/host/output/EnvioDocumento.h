#pragma once
// Hands a stored document to the mail outbox (Correo_Salida) addressed to its customer.
#include "host/services/Entorno.h"

#include <string>

namespace tesmira::host {

class EnvioDocumento {
public:
    explicit EnvioDocumento(Entorno& entorno);
    ~EnvioDocumento();
    EnvioDocumento(const EnvioDocumento&) = delete;
    EnvioDocumento& operator=(const EnvioDocumento&) = delete;

    // kind "Factura", "Remision" or "Venta". Queues one pending mail ('PE'); a customer
    // without an e-mail address queues nothing and answers true. False for an unknown kind
    // or document.
    bool EnviaDocumento(const std::string& kind, const std::string& folio, int mode);
    std::string UltimoError() const { return m_ultimoError; }

private:
    Entorno& m_e;
    std::string m_ultimoError;
};

} // namespace tesmira::host

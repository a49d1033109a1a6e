#pragma once
// Mails a digital document: writes a MIME message with the signed document attached into
// <carpetaSalida>/outbox and marks the Comprobante_Digital row as sent.
#include "host/services/Entorno.h"

#include <string>

namespace tesmira::host {

class EnvioComprobante {
public:
    explicit EnvioComprobante(Entorno& entorno);
    ~EnvioComprobante();
    EnvioComprobante(const EnvioComprobante&) = delete;
    EnvioComprobante& operator=(const EnvioComprobante&) = delete;

    // False when the digital document does not exist, the customer has no e-mail address or
    // the file cannot be written.
    bool Envia(const std::string& table, const std::string& document);
    // Path of the last message written.
    const std::string& UltimoArchivo() const { return m_archivo; }
    std::string UltimoError() const { return m_ultimoError; }

private:
    Entorno& m_e;
    std::string m_archivo, m_ultimoError;
};

} // namespace tesmira::host

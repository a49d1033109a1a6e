#pragma once
// The host's document service: records that a document was handed over for processing.
#include "host/services/Entorno.h"

#include <string>

namespace tesmira::host {

class ServicioDocumento {
public:
    explicit ServicioDocumento(Entorno& entorno) : m_e(entorno) {}
    bool Ejecuta(const std::string& table, const std::string& keyColumn, const std::string& folio);
    std::string UltimoError() const { return m_ultimoError; }

private:
    Entorno& m_e;
    std::string m_ultimoError;
};

} // namespace tesmira::host

#pragma once
// A customer's available credit.
#include "host/services/Entorno.h"

#include <string>

namespace tesmira::host {

class CreditoCliente {
public:
    explicit CreditoCliente(Entorno& entorno) : m_e(entorno) {}
    // Credit limit less what the customer owes on open documents (see the .cpp for the rule).
    double CreditoDisponible(const std::string& customer, bool flag = false) const;
    std::string UltimoError() const { return m_ultimoError; }

private:
    Entorno& m_e;
    mutable std::string m_ultimoError;
};

} // namespace tesmira::host

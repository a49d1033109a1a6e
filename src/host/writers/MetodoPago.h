#pragma once
// The customer's payment method and bank account, chosen in the host's dialog
// (Dialogos::eligePago) and stored in Metodo_Pago_Cliente.
#include "host/services/Entorno.h"

#include <string>

namespace tesmira::host {

class MetodoPago {
public:
    explicit MetodoPago(Entorno& entorno);
    ~MetodoPago();
    MetodoPago(const MetodoPago&) = delete;
    MetodoPago& operator=(const MetodoPago&) = delete;

    // Shows the dialog with the customer's current choice; a cancelled dialog stores nothing
    // and answers true. False for an empty or unknown customer or an unknown method.
    bool Muestra(const std::string& customer);
    std::string UltimoError() const { return m_ultimoError; }

private:
    Entorno& m_e;
    std::string m_ultimoError;
};

} // namespace tesmira::host

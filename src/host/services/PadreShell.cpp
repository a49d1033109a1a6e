#include "host/services/PadreShell.h"

#include "host/output/Firma.h"

namespace tesmira::host {

std::string PadreShell::FirmaDocumento(const std::string& text)
{
    if (firma)
        return firma(text);
    if (!m_entorno)
        return "No hay servicio de firma digital configurado";
    return Firma(*m_entorno).FirmaDocumento(text);
}

void PadreShell::Descarga()
{
    m_cerrado = true;
    if (alDescargar)
        alDescargar();
}

} // namespace tesmira::host

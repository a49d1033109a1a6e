#pragma once
// Delivery addresses recorded per document and the customer's default one.
#include "host/services/Entorno.h"

#include <string>

namespace tesmira::host {

class DomicilioEntrega {
public:
    explicit DomicilioEntrega(Entorno& entorno) : m_e(entorno) {}
    // ID of the delivery address recorded for the document; "0000" when it has none.
    std::string DomicilioDocumento(const std::string& table, const std::string& folio, const std::string& ownerTable,
                                   const std::string& owner) const;
    // ID of the owner's default address; the given fallback when it has none.
    std::string DomicilioPredeterminado(const std::string& ownerTable, const std::string& owner,
                                        const std::string& fallback) const;
    // Records the address chosen for a document (inside the caller's transaction).
    bool GrabaDomicilioDocumento(const std::string& table, const std::string& folio, const std::string& ownerTable,
                                 const std::string& owner, const std::string& id) const;
    std::string UltimoError() const { return m_ultimoError; }

private:
    Entorno& m_e;
    mutable std::string m_ultimoError;
};

} // namespace tesmira::host

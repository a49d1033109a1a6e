#pragma once
// The invoice engine: checks a sale condition, turns a sale into an invoice numbered from
// its series (Serie_Factura), and produces the payment receipt or the promissory notes the
// condition asks for. Inside the caller's transaction.
#include "host/services/Entorno.h"

#include <cstdint>
#include <string>

namespace tesmira::host {

class Facturacion {
public:
    explicit Facturacion(Entorno& entorno);
    ~Facturacion();
    Facturacion(const Facturacion&) = delete;
    Facturacion& operator=(const Facturacion&) = delete;

    // False for an unknown or withdrawn condition, or a negative total.
    bool ValidaCondicion(const std::string& condition, double total, const std::string& unused);
    // Sums the sale's header totals from its lines, writes the Factura of the sale and stamps the
    // sale with it. The folio is the series
    // code + the series' next number (4 digits) taken from Serie_Factura at this moment,
    // whatever number the caller saw; the counter advances. A cash sale ('01') gets a
    // payment receipt, a credit sale ('02') one promissory note per 30 days of credit.
    // False for an unknown or cancelled sale, an already invoiced sale, or an unknown,
    // withdrawn or other-branch series.
    bool GeneraFactura(const std::string& saleFolio, bool fromDocument, const std::string& invoiceText,
                       const std::string& seriesCode, int32_t seriesNumber, const std::string& toolbarValue);
    std::string FolioFactura() const { return m_folio; }
    // Receipt folios ("|"-separated); "" when none.
    std::string ReciboPago() const { return m_recibos; }
    // Promissory-note folios ("|"-separated); "" when none.
    std::string Pagares() const { return m_pagares; }
    std::string UltimoError() const { return m_ultimoError; }

private:
    bool falla(std::string reason);

    Entorno& m_e;
    std::string m_folio, m_recibos, m_pagares, m_ultimoError;
};

} // namespace tesmira::host

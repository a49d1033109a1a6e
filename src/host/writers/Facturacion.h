#pragma once
// The invoice engine: checks a sale condition, turns a sale into an invoice numbered from
// its series (Serie_Factura), and produces the payment receipt or the promissory notes the
// condition asks for. Inside the caller's transaction.
#include "host/services/Entorno.h"

#include <cstdint>
#include <optional>
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
    // Takes the invoice folio of a sale whose lines are still to be written, so that they are
    // stored carrying it; GeneraFactura of that sale and series then uses it. Refuses as
    // GeneraFactura's series checks do, spending no number.
    bool ReservaFactura(const std::string& saleFolio, const std::string& seriesCode);
    std::string FolioReservado() const { return m_reserva ? m_reserva->folio : std::string(); }
    std::string FolioFactura() const { return m_folio; }
    // Receipt folios ("|"-separated); "" when none.
    std::string ReciboPago() const { return m_recibos; }
    // Promissory-note folios ("|"-separated); "" when none.
    std::string Pagares() const { return m_pagares; }
    std::string UltimoError() const { return m_ultimoError; }

private:
    bool falla(std::string reason);
    // Checks the series against the sale's branch and takes its next free invoice number.
    bool tomaFolio(const std::string& seriesCode, const std::string& sucursal, std::string& folio, int64_t& numero);

    struct Reserva {
        std::string venta, serie, folio;
        int64_t numero = 0;
    };
    std::optional<Reserva> m_reserva;
    Entorno& m_e;
    std::string m_folio, m_recibos, m_pagares, m_ultimoError;
};

} // namespace tesmira::host

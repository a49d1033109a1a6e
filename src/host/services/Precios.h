#pragma once
// The price service: minimum and sale prices from the company's price lists.
#include "base/Value.h"
#include "host/services/Entorno.h"

#include <string>

namespace tesmira::host {

class Precios {
public:
    explicit Precios(Entorno& entorno) : m_e(entorno) {}

    // Minimum unit price of the product in the unit; -1 when no list sets one.
    // listFolio receives the folio of the price list that answered.
    double PrecioMinimo(const Date& d, const std::string& currency, const std::string& branch,
                        const std::string& customer, const std::string& product, const std::string& size,
                        const std::string& colour, const std::string& unit, std::string& listFolio) const;
    // Sale unit price for the customer and sale condition; 0 when no list prices it.
    double PrecioVenta(const Date& d, const std::string& currency, const std::string& branch,
                       const std::string& customer, const std::string& product, const std::string& size,
                       const std::string& colour, const std::string& unit, const std::string& saleCondition,
                       double quantity) const;
    std::string UltimoError() const { return m_ultimoError; }

private:
    Entorno& m_e;
    mutable std::string m_ultimoError;
};

} // namespace tesmira::host

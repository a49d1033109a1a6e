#pragma once
// Lots: the lots recorded on a document line, and the lot picker over lot stock.
#include "host/services/Entorno.h"

#include <string>

namespace tesmira::host {

class Lotes {
public:
    explicit Lotes(Entorno& entorno) : m_e(entorno) {}

    std::string Producto, Talla, Color;
    // Quantities chosen in the picker, in control units 1 and 2.
    double Cantidad1 = 0, Cantidad2 = 0;

    // The lots of a document line, joined by "|" ("" when none).
    std::string LoteDocumento(const std::string& table, const std::string& folio, const std::string& id) const;
    // Lot picker over the lot stock of Producto/Talla/Color in the branch and warehouse.
    // Answers the chosen lot; cancelled: the lot it was given (currentLot untouched).
    std::string SeleccionaLote(int mode, const std::string& branch, const std::string& warehouse,
                               std::string& currentLot, double a = 0, double b = 0, double c = 0,
                               const std::string& d = "", double e = 0, const std::string& f = "", double g = 0);
    std::string UltimoError() const { return m_ultimoError; }

private:
    Entorno& m_e;
    mutable std::string m_ultimoError;
};

} // namespace tesmira::host

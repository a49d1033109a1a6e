#pragma once
// Lots: the lots recorded on a document line, and the lot picker over lot stock.
#include "host/services/Entorno.h"

#include <string>

namespace tesmira::host {

// Where the lot picker looks: the lot stock of a branch and warehouse. Mode 1, the only one
// this host knows, offers the lots on hand.
struct OpcionesLote {
    int modo = 1;
    std::string sucursal;
    std::string almacen;
};

class Lotes {
public:
    explicit Lotes(Entorno& entorno) : m_e(entorno) {}

    std::string Producto, Talla, Color;
    // Quantities chosen in the picker, in control units 1 and 2.
    double Cantidad1 = 0, Cantidad2 = 0;

    // The lots of a document line, joined by "|" ("" when none).
    std::string LoteDocumento(const std::string& table, const std::string& folio, const std::string& id) const;
    // Lot picker over the lot stock of Producto/Talla/Color where the options say.
    // Answers the chosen lot; cancelled: the lot it was given (currentLot untouched).
    // Throws for a mode other than 1.
    std::string SeleccionaLote(const OpcionesLote& opciones, std::string& currentLot);
    std::string UltimoError() const { return m_ultimoError; }

private:
    Entorno& m_e;
    mutable std::string m_ultimoError;
};

} // namespace tesmira::host

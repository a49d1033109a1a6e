#pragma once
// Lots: the lots recorded on a document line, and the lot picker over lot stock.
#include "host/services/Entorno.h"

#include <string>
#include <unordered_map>

namespace tesmira::host {

// Where the lot picker looks: the lot stock of a branch and warehouse. Mode 1, the only one
// this host knows, offers the lots on hand.
struct OpcionesLote {
    int modo = 1;
    std::string sucursal;
    std::string almacen;
};

class LotesDocumento;

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
    friend class LotesDocumento;
    Entorno& m_e;
    mutable std::string m_ultimoError;
};

// The lots of every line of one document, read at once for a load that asks line after line:
// lote(id) answers what LoteDocumento(table, folio, id) would. A line the read cannot answer
// for certain (an ID stored in two spellings, a text outside plain ASCII) is asked on its
// own. It lives for one load: nothing may write the document's lots meanwhile.
class LotesDocumento {
public:
    LotesDocumento(const Lotes& lotes, std::string table, std::string folio);
    std::string lote(const std::string& id) const;

private:
    struct Linea {
        std::string id, lotes;
        bool dosGrafias = false;
    };
    const Lotes& m_lotes;
    std::string m_table, m_folio;
    std::unordered_map<std::string, Linea> m_lineas; // by the ID as the database compares it
};

} // namespace tesmira::host

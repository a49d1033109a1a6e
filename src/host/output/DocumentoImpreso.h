#pragma once
// A printed document as the printing service composes it from the rows the documents were
// saved with: who issues it, its title and folio, the customer's and the document's data, a
// table whose rows carry their lots and serial numbers under them, the totals, a paragraph
// and the signature lines. Notes, invoices, receipts and promissory notes fill these parts
// each in its own way; the desktop paints every one of them with one page layout, and the
// service writes the same parts as text.
#include "base/Value.h"

#include <string>
#include <vector>

namespace tesmira::host {

struct DatoImpreso {
    std::string etiqueta, valor;
};

struct ColumnaImpresa {
    std::string titulo;
    int ancho = 0; // in characters; 0 takes what the others leave
    bool derecha = false;
};

struct RenglonImpreso {
    std::vector<std::string> celdas; // one per column
    // Lots and serial numbers of the line, one text each ("Lote L-2602: 4").
    std::vector<std::string> detalle;
};

struct DocumentoImpreso {
    std::string empresa, empresaRfc, empresaDireccion;
    std::string titulo, folio, estado;
    Value fecha;
    // The block under the header: the customer's data on the left, the document's on the right.
    std::vector<DatoImpreso> cliente, documento;
    std::vector<ColumnaImpresa> columnas;
    std::vector<RenglonImpreso> renglones;
    // Under the table, right-aligned; the last one is the document's total.
    std::vector<DatoImpreso> totales;
    // A paragraph after the totals (a promissory note's promise, an invoice's seal).
    std::string leyenda;
    // Signature lines, left to right, each with what is signed there.
    std::vector<std::string> firmas;
};

} // namespace tesmira::host

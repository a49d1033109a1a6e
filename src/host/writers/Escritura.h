#pragma once
// Pieces the document writers share: the modification stamp, folio counters,
// unit factors and the line amount chain.
#include "base/Value.h"
#include "host/services/Entorno.h"

#include <string>

namespace tesmira::db {
class Connection;
}

namespace tesmira::host::escritura {

// The server's date and time as the Fecha_Ult_Modif stamp ("YYYY-MM-DD HH:MM:SS").
std::string sello(const Entorno& e);

// Next folio of a document table from Folio_Documento (prefix + number in its digits);
// skips folios already taken in keyTable.keyColumn and advances the counter.
// Throws Error when the table has no counter.
std::string siguienteFolio(db::Connection& c, const std::string& table, const std::string& keyTable,
                           const std::string& keyColumn);

// 1 in `from` = factor in `to` for the product; same unit 1; unknown pair 0.
double factor(db::Connection& c, const std::string& product, const std::string& from, const std::string& to);

struct Importes {
    double precioListaImporte = 0;
    double descuentoImporte = 0;
    double precioDescontado = 0;
    double precioDescontadoImporte = 0;
    double impuestoImporte = 0;
    double precioNeto = 0;
    double precioNetoImporte = 0;
};
// Price chain of a line: list amount, discount, the fixed fee added before tax, tax.
// Amounts to cents, unit prices to 4 decimals (ties to even).
Importes calculaImportes(double cantidad, double precioLista, double descuentoFactor, double impuestoFactor,
                         double cuota);

// Recomputes the sale header's subtotal (after the global discount), tax and total from its
// lines; a no-charge sale totals 0.
void actualizaTotalesVenta(const Entorno& e, const std::string& folio);

} // namespace tesmira::host::escritura

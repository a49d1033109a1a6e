#pragma once
// Pieces the document writers share: the modification stamp, folio counters,
// unit factors and the document totals.
#include "base/Value.h"
#include "host/services/Entorno.h"
#include "host/services/Importes.h"

#include <cstddef>
#include <string>

namespace tesmira::db {
class Connection;
class Recordset;
}

namespace tesmira::host::escritura {

// The server's date and time as the Fecha_Ult_Modif stamp ("YYYY-MM-DD HH:MM:SS").
std::string sello(const Entorno& e);

// Next folio of a document table from Folio_Documento (prefix + number in its digits);
// skips folios already taken in keyTable.keyColumn and advances the counter.
// Throws Error when the table has no counter.
std::string siguienteFolio(db::Connection& c, const std::string& table, const std::string& keyTable,
                           const std::string& keyColumn);

// The product's row as the writers read it, its columns in the order of ColumnaProducto; no
// row for an unknown product.
// One text for both writers: a sale written in the note's save finds the note's reads.
enum ColumnaProducto : size_t {
    Pr_Descripcion, Pr_Tipo_Producto, Pr_Unidad_Control_1, Pr_Unidad_Costo, Pr_Impuesto_Factor
};
db::Recordset producto(db::Connection& c, const std::string& clave);

// Why a line may not be written (no product, no quantity, a product the catalogue lacks), or
// empty when it may; `fila` then holds the product's row.
std::string productoDePartida(db::Connection& c, const std::string& clave, double cantidad, db::Recordset& fila);

// 1 in `from` = factor in `to` for the product; same unit 1; unknown pair 0.
double factor(db::Connection& c, const std::string& product, const std::string& from, const std::string& to);

// The totals of a document's stored lines; `lineas` selects, in this order, each line's
// discounted amount, fixed fee, quantity and tax factor.
TotalesDocumento totales(db::Connection& c, const std::string& lineas, double descuentoGlobal);

// Recomputes the sale header's subtotal (after the global discount), tax and total from its
// lines as the screen's totals do; a no-charge sale totals 0.
void actualizaTotalesVenta(const Entorno& e, const std::string& folio);
// Writes the totals of a sale whose lines the caller summed as it stored them.
void guardaTotalesVenta(const Entorno& e, const std::string& folio, const TotalesDocumento& t, bool sinCargo);

} // namespace tesmira::host::escritura

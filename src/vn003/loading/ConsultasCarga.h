#pragma once
// The order and dispatch loaders' statements, for given (unquoted) values. The screen runs them;
// the db tests and the benchmarks run the same text on their own data.
#include <optional>
#include <string>

namespace tesmira::vn003::consultas {

// What the order's notes delivered per product, size, colour and concept, LEFT JOINed to the
// order's lines as `Remision`. Cancelled notes do not count, nor the note `nota` when given.
std::string entregasPedido(const std::string& folio, const std::optional<std::string>& nota = std::nullopt);

// The ordinary loader's pending lines: one row per order line, the delivered total of each
// product, size, colour and concept subtracted from every line of that key. An empty branch
// means any branch.
std::string pendientesPedido(const std::string& folio, const std::string& sucursal = "");

// The stock-only loader's: unlike the ordinary loader's, delivered quantities are matched per
// order line, 'BO' lines come back and the order is whatever the database gives.
std::string pendientesSoloExistencia(const std::string& folio, const std::string& sucursal = "");

// The pending quantity of one order line; the note on screen does not count as delivered.
// The line's product, size, colour and ID are `?` markers, bound in that order: the text is
// the same for every line of a dispatch, so it is translated and prepared once.
std::string pendienteLineaSalida(const std::string& folio, const std::string& nota, const std::string& sucursal);
// The same for every line of the order at once, one row per line, in no particular order.
std::string pendientesSalida(const std::string& folio, const std::string& nota, const std::string& sucursal);

// The warehouse's finished dispatches, and the note's own one when given. The '?' marks are the pick list's own filters on the descriptions; they stay in the text.
std::string salidasAlmacen(const std::string& sucursal, const std::string& almacen,
                           const std::optional<std::string>& propia);

// What a dispatch picked: one row per order line, location and lot, by product then location.
std::string detalleSalida(const std::string& salida);

} // namespace tesmira::vn003::consultas

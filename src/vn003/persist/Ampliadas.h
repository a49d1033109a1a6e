#pragma once
// Whether a document already has extended descriptions of a kind ("Remision", "Venta"). A new
// folio has none, so an empty description of one of its lines has nothing to remove.
#include <string>

namespace tesmira::vn003 {

bool TieneAmpliadas(const std::string& tabla, const std::string& folio);

} // namespace tesmira::vn003

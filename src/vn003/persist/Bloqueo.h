#pragma once
// How saves and cancellations of different clerks meet on one company database. Every command
// that changes what an order has delivered locks the order's header row first, then the note
// it replaces or cancels; the checks that follow run under those locks, so they see what the
// other clerks committed, on every engine.
#include <exception>
#include <string>

namespace tesmira::vn003 {

class frmVN003;

namespace bloqueo {

// Locks the header of the order on screen (the first statement of the transaction).
void tomaPedido(frmVN003& f);
// The note's stamp as calling it up saw it; "" when there is no such note.
std::string versionRemision(const std::string& folio);
// Locks the note's header; true when it is still as it was called up (f.VersionRemision).
bool remisionSinCambios(frmVN003& f, const std::string& folio);
std::string remisionCambiada(const std::string& folio);
// A lock held by another clerk did not come free in time, or the engine broke a deadlock.
bool esContencion(const std::exception& e);
// Shown when a lock held by another clerk did not come free in time, or the engine broke a
// deadlock: nothing was changed and trying again is safe.
void avisaOcupado(frmVN003& f, const std::string& id);

} // namespace bloqueo
} // namespace tesmira::vn003

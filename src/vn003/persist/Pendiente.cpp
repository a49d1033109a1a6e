// Routines not written yet: each fails loudly until its subsystem fills it in.
#include "base/Error.h"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "vn003/frmVN003.h"

namespace tesmira::vn003 {

void frmVN003::Controles_Aceptar(int argumento) { throw Error("Controles_Aceptar: pendiente"); }
void frmVN003::Controles_Eliminar() { throw Error("Controles_Eliminar: pendiente"); }
bool frmVN003::Frame_Inserta(const std::string& tabla, const std::string& folio) { throw Error("Frame_Inserta: pendiente"); }
void frmVN003::Frame_Carga(const std::string& tabla, const std::string& folio) { throw Error("Frame_Carga: pendiente"); }

} // namespace tesmira::vn003

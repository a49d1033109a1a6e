// Routines not written yet: each fails loudly until its subsystem fills it in.
#include "base/Error.h"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "vn003/frmVN003.h"

namespace tesmira::vn003 {

void frmVN003::CargaPedido() { throw Error("CargaPedido: pendiente"); }
float frmVN003::CantidadPendiente(const std::string& folio, const std::string& producto, const std::string& talla, const std::string& color, int control, std::string& unidad) { throw Error("CantidadPendiente: pendiente"); }
void frmVN003::Cargar_Solo_Producto_Con_Existencia() { throw Error("Cargar_Solo_Producto_Con_Existencia: pendiente"); }
void frmVN003::txtSalida_KeyUp(int keyCode, int shift) { throw Error("txtSalida_KeyUp: pendiente"); }
void frmVN003::txtSalida_Enter() { throw Error("txtSalida_Enter: pendiente"); }
void frmVN003::txtSalida_Change() { throw Error("txtSalida_Change: pendiente"); }

} // namespace tesmira::vn003

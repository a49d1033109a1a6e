// Routines not written yet: each fails loudly until its subsystem fills it in.
#include "base/Error.h"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "vn003/frmVN003.h"

namespace tesmira::vn003 {

bool frmVN003::RemisionFacturable() { throw Error("RemisionFacturable: pendiente"); }
bool frmVN003::Facturar_Remision(const std::string& folioRemision) { throw Error("Facturar_Remision: pendiente"); }
void frmVN003::EnviaComprobante(const std::string& factura) { throw Error("EnviaComprobante: pendiente"); }
void frmVN003::chkFacturar_Click() { throw Error("chkFacturar_Click: pendiente"); }
void frmVN003::chkFacturar_KeyPress(int& keyAscii) { throw Error("chkFacturar_KeyPress: pendiente"); }
void frmVN003::cmdCuentaBancaria_Click() { throw Error("cmdCuentaBancaria_Click: pendiente"); }

} // namespace tesmira::vn003

// Routines not written yet: each fails loudly until its subsystem fills it in.
#include "base/Error.h"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "vn003/frmVN003.h"

namespace tesmira::vn003 {

void frmVN003::Form_Load() { throw Error("Form_Load: pendiente"); }
void frmVN003::Form_Activate() { throw Error("Form_Activate: pendiente"); }
void frmVN003::Form_KeyDown(int keyCode, int shift) { throw Error("Form_KeyDown: pendiente"); }
void frmVN003::Form_Resize(int width, int height) { throw Error("Form_Resize: pendiente"); }
void frmVN003::AplicaCierrePedido() { throw Error("AplicaCierrePedido: pendiente"); }
void frmVN003::RestableceCierrePedido() { throw Error("RestableceCierrePedido: pendiente"); }
void frmVN003::Controles_Nuevo() { throw Error("Controles_Nuevo: pendiente"); }
void frmVN003::Controles_Modificar() { throw Error("Controles_Modificar: pendiente"); }
void frmVN003::Controles_Limpiar() { throw Error("Controles_Limpiar: pendiente"); }
void frmVN003::Controles_Imprimir() { throw Error("Controles_Imprimir: pendiente"); }
void frmVN003::Controles_Documento() { throw Error("Controles_Documento: pendiente"); }
void frmVN003::Controles_Salir() { throw Error("Controles_Salir: pendiente"); }
void frmVN003::ssTabKiv_Click(int previousTab) { throw Error("ssTabKiv_Click: pendiente"); }
void frmVN003::ssTabKiv_KeyPress(int& keyAscii) { throw Error("ssTabKiv_KeyPress: pendiente"); }
void frmVN003::chkCerrar_KeyPress(int& keyAscii) { throw Error("chkCerrar_KeyPress: pendiente"); }
void frmVN003::ReportaError(const std::string& rutina, const std::string& id, const std::string& descripcion, const std::string& titulo) { throw Error("ReportaError: pendiente"); }

} // namespace tesmira::vn003

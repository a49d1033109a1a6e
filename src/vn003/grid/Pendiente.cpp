// Routines not written yet: each fails loudly until its subsystem fills it in.
#include "base/Error.h"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "vn003/frmVN003.h"

namespace tesmira::vn003 {

void frmVN003::CalculaImportesPartida() { throw Error("CalculaImportesPartida: pendiente"); }
void frmVN003::CalculaTotales() { throw Error("CalculaTotales: pendiente"); }
void frmVN003::valida_Grid(bool& ok) { throw Error("valida_Grid: pendiente"); }
void frmVN003::Validar_Cantidad_Id(std::string& folio, std::string& producto, std::string& id, double& cantidad, bool& ok) { throw Error("Validar_Cantidad_Id: pendiente"); }
void frmVN003::Valida_Ubicacion(std::string& sucursal, std::string& almacen, std::string& ubicacion, std::string& producto, std::string& talla, std::string& color, bool& ok) { throw Error("Valida_Ubicacion: pendiente"); }
void frmVN003::BuscaProducto(bool& encontrado) { throw Error("BuscaProducto: pendiente"); }
void frmVN003::ssDetalle_Change() { throw Error("ssDetalle_Change: pendiente"); }
void frmVN003::ssDetalle_BeforeColChange(int& cancel) { throw Error("ssDetalle_BeforeColChange: pendiente"); }
void frmVN003::ssDetalle_KeyDown(int& keyCode, int shift) { throw Error("ssDetalle_KeyDown: pendiente"); }
void frmVN003::ssDetalle_KeyPress(int& keyAscii) { throw Error("ssDetalle_KeyPress: pendiente"); }
void frmVN003::ssDetalle_KeyUp(int keyCode, int shift) { throw Error("ssDetalle_KeyUp: pendiente"); }
void frmVN003::ssDetalle_BtnClick() { throw Error("ssDetalle_BtnClick: pendiente"); }
void frmVN003::ssDetalle_BeforeDelete(int& displayFlag) { throw Error("ssDetalle_BeforeDelete: pendiente"); }

} // namespace tesmira::vn003

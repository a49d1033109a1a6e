// Routines not written yet: each fails loudly until its subsystem fills it in.
#include "base/Error.h"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "vn003/frmVN003.h"

namespace tesmira::vn003 {

void frmVN003::txt_Sc_Cve_Sucursal_Change() { throw Error("txt_Sc_Cve_Sucursal_Change: pendiente"); }
void frmVN003::txt_Sc_Cve_Sucursal_Enter() { throw Error("txt_Sc_Cve_Sucursal_Enter: pendiente"); }
void frmVN003::txt_Al_Cve_Almacen_Change() { throw Error("txt_Al_Cve_Almacen_Change: pendiente"); }
void frmVN003::txt_Al_Cve_Almacen_Enter() { throw Error("txt_Al_Cve_Almacen_Enter: pendiente"); }
void frmVN003::txt_Al_Cve_Almacen_LostFocus() { throw Error("txt_Al_Cve_Almacen_LostFocus: pendiente"); }
void frmVN003::txt_Mn_Cve_Moneda_Change() { throw Error("txt_Mn_Cve_Moneda_Change: pendiente"); }
void frmVN003::txt_Mn_Cve_Moneda_Enter() { throw Error("txt_Mn_Cve_Moneda_Enter: pendiente"); }
void frmVN003::txt_Mn_Cve_Moneda_LostFocus() { throw Error("txt_Mn_Cve_Moneda_LostFocus: pendiente"); }
void frmVN003::dpFecha_Change() { throw Error("dpFecha_Change: pendiente"); }
void frmVN003::txtCliente_Enter() { throw Error("txtCliente_Enter: pendiente"); }
std::string frmVN003::Direccion_Entrega(const std::string& id, const std::string& cliente) { throw Error("Direccion_Entrega: pendiente"); }
void frmVN003::txt_Pd_Folio_Change() { throw Error("txt_Pd_Folio_Change: pendiente"); }
void frmVN003::txt_Pd_Folio_Enter() { throw Error("txt_Pd_Folio_Enter: pendiente"); }
void frmVN003::txtFolio_Change() { throw Error("txtFolio_Change: pendiente"); }
void frmVN003::txtFolio_Enter() { throw Error("txtFolio_Enter: pendiente"); }
void frmVN003::CargaPartidaRemision(const db::Recordset& rs, const std::string& folio, host::Lotes& lotes, host::Series& series) { throw Error("CargaPartidaRemision: pendiente"); }

} // namespace tesmira::vn003

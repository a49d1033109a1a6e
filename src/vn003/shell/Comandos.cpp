// Toolbar commands that only change the screen's state, the tab strip and the Enter-as-Tab
// keys, and the standard error report of the handlers.
#include "base/VbConstants.h"
#include "db/Connection.h"
#include "host/output/Impresion.h"
#include "host/output/ServicioDocumento.h"
#include "host/services/Padre.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

namespace tesmira::vn003 {

namespace {

void enterComoTab(int keyAscii)
{
    if (keyAscii == vb::vbKeyReturn)
        Utilerias().EnviaTecla("\t", 0);
}

} // namespace

void frmVN003::Controles_Limpiar()
{
    txtFolio.setText("");
    Utilerias().LimpiaControles(*this, 1);
    txtDescuento_Global.setValue(0);
    SeleccionaPestana(0);
    txtFolio.setEnabled(true);
    txtFolio.setFocus();
    for (int n = 1; n <= 4; ++n)
        Controles.setOpcionDocumento(n, false);
}

void frmVN003::Controles_Nuevo()
{
    Controles.setClaveDocumento("");
    txtFolio.setText("");
    Utilerias().LimpiaControles(*this, 1);
    Utilerias().LimpiaControles(*this, 2);
    Utilerias().HabilitaControles(*this, 1);
    MostrarSalidaPropia = false;
    txtSalida.setText("");
    FolioSalidaRemision.clear();
    txtFolio.setText("");
    // The folio is assigned when the note is saved.
    txtFolio.setEnabled(false);
    txt_Rm_Tipo_Cambio.setEnabled(false);
    SeleccionaPestana(0);
    dpFecha.setEnabled(Derechos.DerechoCHFECHA);
    dpFecha.setValue(Utilerias().FechaServidor());
    AplicaCierrePedido();
    chSinCargo.setEnabled(false);
    if (txt_Pd_Folio.enabled())
        txt_Pd_Folio.setFocus();
}

void frmVN003::Controles_Modificar()
{
    Controles.setClaveDocumento("");
    Utilerias().HabilitaControles(*this, 1);
    txtFolio.setEnabled(false);
    txt_Pd_Folio.setEnabled(false);
    SeleccionaPestana(0);
    dpFecha.setFocus();
    dpFecha.setEnabled(Derechos.DerechoCHFECHA);
    chSinCargo.setEnabled(false);
    RestableceCierrePedido();
    MostrarSalidaPropia = true;
}

void frmVN003::RestableceCierrePedido()
{
    switch (Parametros.EstadoCerrarPedido) {
    case 0:
        chkCerrar.setValue(CheckBox::Unchecked);
        chkCerrar.setEnabled(true);
        return;
    case 1:
        chkCerrar.setValue(CheckBox::Checked);
        chkCerrar.setEnabled(true);
        return;
    case 2:
        chkCerrar.setValue(CheckBox::Checked);
        chkCerrar.setEnabled(false);
        return;
    default:
        return;
    }
}

void frmVN003::Controles_Imprimir()
{
    host::Impresion impresion(Sistema().entorno());
    const std::string formato = Sistema().ParametroValor("FTO_IMP_REMISION", 0, "", "").toString();
    impresion.Imprime(formato, txtFolio.value().toString());
}

void frmVN003::Controles_Documento()
{
    host::ServicioDocumento servicio(Sistema().entorno());
    servicio.Ejecuta("Remision", "Rm_Folio", txtFolio.value().toString());
}

void frmVN003::Controles_Salir()
{
    if (m_padre)
        m_padre->Descarga();
}

void frmVN003::SeleccionaPestana(int tab)
{
    const int anterior = ssTabKiv.tab();
    ssTabKiv.setTab(tab);
    if (anterior != tab)
        ssTabKiv_Click(anterior);
}

void frmVN003::ssTabKiv_Click(int /*previousTab*/)
{
    Frame* marcos[] = {&fr0, &fr1, &fr2};
    for (Frame* f : marcos)
        f->setEnabled(false);
    const int tab = ssTabKiv.tab();
    if (tab < 0 || tab > 2)
        return;
    if (tab == 2)
        CalculaTotales();
    marcos[tab]->setEnabled(true);
}

void frmVN003::ssTabKiv_KeyPress(int& keyAscii) { enterComoTab(keyAscii); }

void frmVN003::chkCerrar_KeyPress(int& keyAscii) { enterComoTab(keyAscii); }

void frmVN003::ReportaError(const std::string& rutina, const std::string& id, const std::string& descripcion,
                            const std::string& titulo)
{
    // Called from a catch block: nothing may escape from here.
    try {
        if (Sistema().Conexion().inTransaction())
            Sistema().Conexion().RollbackTrans();
    } catch (const std::exception&) {
    }
    try {
        Sistema().Mensaje(descripcion, vb::vbCritical, titulo.empty() ? rutina : titulo, this, "VN003", id);
    } catch (const std::exception&) {
    }
}

} // namespace tesmira::vn003

// The delete command: cancels the note on screen through the host's document services.
#include "base/VbConstants.h"
#include "db/Connection.h"
#include "host/writers/ControlDocumento.h"
#include "host/writers/DocumentoRemision.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"
#include "vn003/persist/Bloqueo.h"

namespace tesmira::vn003 {

void frmVN003::Controles_Eliminar()
{
    auto& conexion = Sistema().Conexion();
    try {
        conexion.BeginTrans();
        // The same order of locks as a save: the order first, then the note.
        bloqueo::tomaPedido(*this);
        if (!txtFolio.text().empty() && !bloqueo::remisionSinCambios(*this, txtFolio.text())) {
            conexion.RollbackTrans();
            Sistema().Mensaje(bloqueo::remisionCambiada(txtFolio.text()), vb::vbCritical, "ERROR", this, "VN003",
                              "ERR-ID:7500027");
            return;
        }
        {
            host::DocumentoRemision remision(Sistema().entorno());
            if (!remision.Elimina(txtFolio.text())) {
                conexion.RollbackTrans();
                Sistema().Mensaje(remision.UltimoError(), vb::vbCritical, "ERROR", this, "VN003", "ERR-ID:7500027");
                return;
            }
        }
        host::ControlDocumento control(Sistema().entorno());
        control.Inicia();
        if (!control.ProcesaBaja("Remision", txtFolio.text())) {
            conexion.RollbackTrans();
            control.Termina();
            Sistema().Mensaje(control.UltimoError(), vb::vbCritical, "ERROR", this, "VN003", "ERR-ID:7500028");
            return;
        }
        control.Termina();
        if (!control.RegistraBaja("Remision", txtFolio.text())) {
            conexion.RollbackTrans();
            Sistema().Mensaje(control.UltimoError(), vb::vbCritical, "ERROR", this, "VN003", "ERR-ID:7500029");
            return;
        }
        conexion.CommitTrans();
        // The folio's change handling empties the screen.
        txtFolio.setText("");
    } catch (const std::exception& e) {
        if (bloqueo::esContencion(e)) {
            bloqueo::avisaOcupado(*this, "ERR-ID:7500059");
            return;
        }
        ReportaError("Controles_Eliminar()", "ERR-ID:7500030", e.what(), "Controles_Eliminar()");
    }
}

} // namespace tesmira::vn003

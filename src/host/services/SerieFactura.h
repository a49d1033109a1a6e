#pragma once
// The invoice-series control's check: the host's control looks its series up itself.
#include "host/services/Entorno.h"

namespace tesmira::forms {
class SeriesField;
}

namespace tesmira::host {

// Installs the check on the control: the series code must be an active series of the
// control's branch; a valid series shows its next number and folio.
void conectaSerieFactura(forms::SeriesField& campo, Entorno& entorno);

} // namespace tesmira::host

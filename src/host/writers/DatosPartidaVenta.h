#pragma once
// Extra data of the sale line being stored: the same record as the delivery note's. Hand it to
// DocumentoVenta::AsignaDatosPartida before AgregaPartida.
#include "host/writers/DatosPartida.h"

namespace tesmira::host {

using DatosPartidaVenta = DatosPartida;

} // namespace tesmira::host

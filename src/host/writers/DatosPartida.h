#pragma once
// Extra data of the document line being stored: the storage location the stock leaves from,
// the fixed fee and the calculation kind the screen priced the line with, and the order line
// it delivers. The screen reuses one object for every line; the writer reads it at
// AgregaPartida.
#include "host/services/Entorno.h"

#include <string>

namespace tesmira::host {

class DatosPartida {
public:
    // Value object: the environment is taken for symmetry with the other host classes.
    explicit DatosPartida(Entorno&) {}

    // "" when the warehouse keeps no locations.
    std::string Ubicacion;
    // Fixed fee of the line (Rm_Cuota_Fija); enters the line amounts.
    double Cuota = 0;
    // REM_TIPO_CALCULO_IMPORTES, so the stored amounts are those the grid showed.
    int TipoCalculo = 1;
    // The order line (Pd_ID) a note's line delivers, stored with it as Rm_Documento_ID; a sale
    // line keeps no link.
    std::string DocumentoId;
};

} // namespace tesmira::host

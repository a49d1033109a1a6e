#pragma once
// Extra data of the sale line being stored (location, fixed fee and calculation kind), as DatosPartida is for
// the delivery note. Hand it to DocumentoVenta::AsignaDatosPartida before AgregaPartida.
#include "host/services/Entorno.h"

#include <string>

namespace tesmira::host {

class DatosPartidaVenta {
public:
    // Value object: the environment is taken for symmetry with the other host classes.
    explicit DatosPartidaVenta(Entorno&) {}

    std::string Ubicacion;
    double Cuota = 0;
    int TipoCalculo = 1;
};

} // namespace tesmira::host

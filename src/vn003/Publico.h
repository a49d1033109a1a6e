#pragma once
// Module Publico: the host objects every routine of the component shares, created once by
// the component's start routine and kept for its whole life.
#include "host/services/Sistema.h"
#include "host/services/Utilerias.h"

#include <memory>
#include <string>

namespace tesmira::vn003 {

// The component start: creates Sistema and Utilerias over the host's environment and clears
// MensajeValidacion. Called again, it replaces them (a host that reloads the component).
void IniciaComponente(host::Entorno& entorno);
// The component unload: releases the shared screen and the host objects.
void DescargaComponente();

host::Sistema& Sistema();
host::Utilerias& Utilerias();
// Reason left by Valida_Ubicacion for the grid events that show it.
extern std::string MensajeValidacion;

} // namespace tesmira::vn003

#pragma once
// The text fields' look-up lists (F2) and the check of keys typed into catalogue fields,
// both over the field's look-up query.
#include "host/services/Entorno.h"

namespace tesmira::forms {
class Form;
}

namespace tesmira::host {

// Installs both on every text field of the form (queries may be set later). The list is the
// host's pick list; a typed key of a field with a catalogue must be a CLAVE its look-up
// lists, else the user is told "No existe <catalogue>: <key>" (flags 48, title "Tesmira").
// A field without a look-up query takes any key.
void conectaBusquedas(forms::Form& form, Entorno& entorno);

} // namespace tesmira::host

#pragma once
// The text fields' own description look-up: a field whose description query `sql` is set
// shows the description of its key in the field named by sqlControlResultado.
#include "host/services/Entorno.h"

namespace tesmira::forms {
class Form;
}

namespace tesmira::host {

// Installs the look-up on every text field of the form (queries may be set later): "?"
// stands for the key; no key, no row, or a query the database refuses shows "" (the field
// reports nothing of its own).
void conectaDescripciones(forms::Form& form, Entorno& entorno);

} // namespace tesmira::host

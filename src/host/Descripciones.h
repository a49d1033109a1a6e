#pragma once
// The text fields' own description look-up: a field whose description query `sql` is set
// shows the description of its key in the field named by sqlControlResultado.
#include "host/Entorno.h"

namespace tesmira::forms {
class Form;
class TextField;
} // namespace tesmira::forms

namespace tesmira::host {

// Installs the look-up on every text field of the form (queries may be set later).
void conectaDescripciones(forms::Form& form, Entorno& entorno);
// Runs one field's look-up now: "?" stands for the key; no key or no row shows "".
// A query the database refuses also shows "" (the field reports nothing of its own).
void muestraDescripcion(forms::Form& form, db::Connection& conexion, forms::TextField& campo);

} // namespace tesmira::host

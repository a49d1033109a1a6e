#include "host/services/Busquedas.h"

#include "db/Connection.h"
#include "forms/Form.h"
#include "forms/TextField.h"
#include "host/services/Dialogos.h"
#include "host/services/Utilerias.h"

namespace tesmira::host {

namespace {

bool claveEnCatalogo(Entorno& entorno, forms::TextField& campo, const std::string& clave)
{
    if (campo.lookupQuery.empty())
        return true;
    // The look-up's own rows, compared as the database compares keys.
    const std::string sql =
        "SELECT CLAVE FROM (" + campo.lookupQuery + ") AS Catalogo WHERE CLAVE = '" + db::quoted(clave) + "'";
    if (!entorno.conexion.Execute(sql).Eof())
        return true;
    entorno.dialogos.mensaje("No existe " + campo.keyCatalog + ": " + clave, 48, "Tesmira", "", "");
    return false;
}

} // namespace

void conectaBusquedas(forms::Form& form, Entorno& entorno)
{
    for (const auto& control : form.controls()) {
        auto* campo = dynamic_cast<forms::TextField*>(control.get());
        if (!campo)
            continue;
        campo->lookupHook = [&entorno](forms::TextField& t) {
            return Utilerias(entorno).ListaBusqueda(t.lookupQuery, 100);
        };
        campo->keyCheckHook = [&entorno](forms::TextField& t, const std::string& clave) {
            return claveEnCatalogo(entorno, t, clave);
        };
    }
}

} // namespace tesmira::host

#pragma once
// What the host shell knows when it loads a component: the open company database,
// the signed-in user, the dialogs, and the server clock (fixed by tests and scripts).
#include "base/Clock.h"
#include "base/Value.h"

#include <optional>
#include <string>

namespace tesmira::db {
class Connection;
}

namespace tesmira::host {

class Dialogos;
class Progreso;

struct Entorno {
    db::Connection& conexion;
    Dialogos& dialogos;
    std::string usuario;
    // Unset: the machine's clock.
    std::optional<Date> fechaServidor;
    Date ahora() const { return fechaServidor ? *fechaServidor : localNow(); }
    // Folder where printed documents and the mail outbox are written.
    std::string carpetaSalida = "out";
    // Installed by a host with a window; none: work goes silently to its end.
    Progreso* progreso = nullptr;
};

} // namespace tesmira::host

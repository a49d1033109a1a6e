#include "vn003/Publico.h"

#include "base/Error.h"
#include "vn003/frmVN003.h"

namespace tesmira::vn003 {

namespace {
std::unique_ptr<host::Sistema> g_sistema;
std::unique_ptr<host::Utilerias> g_utilerias;
} // namespace

std::string MensajeValidacion;
// The shared screen instance lives with the component (see Pantalla.cpp).
void descargaPantalla();

void IniciaComponente(host::Entorno& entorno)
{
    descargaPantalla();
    g_sistema = std::make_unique<host::Sistema>(entorno);
    g_utilerias = std::make_unique<host::Utilerias>(entorno);
    MensajeValidacion.clear();
}

void DescargaComponente()
{
    descargaPantalla();
    g_utilerias.reset();
    g_sistema.reset();
}

host::Sistema& Sistema()
{
    if (!g_sistema)
        throw Error("El componente no se ha iniciado");
    return *g_sistema;
}

host::Utilerias& Utilerias()
{
    if (!g_utilerias)
        throw Error("El componente no se ha iniciado");
    return *g_utilerias;
}

} // namespace tesmira::vn003

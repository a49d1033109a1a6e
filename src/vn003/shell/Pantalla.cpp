#include "vn003/Pantalla.h"

#include "vn003/frmVN003.h"

namespace tesmira::vn003 {

namespace {
std::unique_ptr<frmVN003> g_pantalla;
}

void descargaPantalla() { g_pantalla.reset(); }

frmVN003* Pantalla::GetPantalla()
{
    try {
        if (!g_pantalla)
            g_pantalla = std::make_unique<frmVN003>();
        return g_pantalla.get();
    } catch (const std::exception&) {
        return nullptr;
    }
}

} // namespace tesmira::vn003

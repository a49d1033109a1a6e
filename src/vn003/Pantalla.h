#pragma once
// The component's public class: the host obtains the screen through it.
#include <string>

namespace tesmira::vn003 {

class frmVN003;

class Pantalla {
public:
    // The shared screen, created on first request; nullptr when it cannot be created.
    frmVN003* GetPantalla();
    std::string Modulo() const { return "VENTAS"; }
};

} // namespace tesmira::vn003

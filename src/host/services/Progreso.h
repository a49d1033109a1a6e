#pragma once
// How far long work has got, told to a host with a window, and the clerk's request to stop it.
// A host without one (the scenario runner) installs none: Sistema hands out a silent progress
// that stops nothing.
#include <cstddef>

namespace tesmira::host {

class Progreso {
public:
    virtual ~Progreso() = default;
    // Row `hechos` of `total` is done; false once the clerk asked to stop. The host keeps the
    // request until the user's action under way ends, so a later loop of the same action
    // (a dispatch loaded after its order) stops at once too.
    virtual bool Avance(size_t hechos, size_t total) = 0;
    // The clerk asked to stop the action under way.
    virtual bool Detenido() const = 0;
};

} // namespace tesmira::host

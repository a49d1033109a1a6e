#pragma once
// The host's calling context as the screen sees it (late-bound members in the original
// platform: a member may be missing, which the optional models).
#include <optional>
#include <string>

namespace tesmira::host {

class Padre {
public:
    virtual ~Padre() = default;
    virtual std::string Transaccion() const = 0;
    virtual std::string Modulo() const = 0;
    // Call parameters; nullopt when the calling object has no such member.
    virtual std::optional<std::string> iParametros() const = 0;
    // Signs a document; "" when signed, otherwise the reason it was not.
    virtual std::string FirmaDocumento(const std::string& text) = 0;
    // Unloads the container (the screen's exit command).
    virtual void Descarga() = 0;
};

} // namespace tesmira::host

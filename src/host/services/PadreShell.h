#pragma once
// The host shell's calling object: what the shell hands the screen as Padre.
#include "host/services/Entorno.h"
#include "host/services/Padre.h"

#include <functional>
#include <optional>
#include <string>

namespace tesmira::host {

class PadreShell : public Padre {
public:
    explicit PadreShell(std::string transaccion = "VN003", std::string modulo = "VENTAS")
        : m_transaccion(std::move(transaccion))
        , m_modulo(std::move(modulo))
    {
    }
    // Signs with the company's signature service over the environment's database.
    explicit PadreShell(Entorno& entorno, std::string transaccion = "VN003", std::string modulo = "VENTAS")
        : PadreShell(std::move(transaccion), std::move(modulo))
    {
        m_entorno = &entorno;
    }

    std::string Transaccion() const override { return m_transaccion; }
    std::string Modulo() const override { return m_modulo; }
    std::optional<std::string> iParametros() const override { return m_parametros; }
    // nullopt: the calling object has no such member.
    void setIParametros(std::optional<std::string> parametros) { m_parametros = std::move(parametros); }

    // Signs through the hook when one is set, else through the signature service; with
    // neither nothing can be signed and the reason says so.
    std::string FirmaDocumento(const std::string& text) override;
    // Marks the container closed and tells the shell.
    void Descarga() override;
    bool cerrado() const { return m_cerrado; }

    // Replaces the signature service (tests, another signer): "" when signed, else the reason.
    std::function<std::string(const std::string&)> firma;
    std::function<void()> alDescargar;

private:
    std::string m_transaccion, m_modulo;
    std::optional<std::string> m_parametros = std::string();
    Entorno* m_entorno = nullptr;
    bool m_cerrado = false;
};

} // namespace tesmira::host

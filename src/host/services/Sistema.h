#pragma once
// The host's system object: connection, messages, company parameters, rights, user.
#include "base/Value.h"
#include "host/services/Entorno.h"

#include <string>

namespace tesmira::host {

class Progreso;

class Sistema {
public:
    explicit Sistema(Entorno& entorno) : m_e(entorno) {}

    db::Connection& Conexion() const;
    int Mensaje(const std::string& prompt, int flags, const std::string& title, const void* owner,
                const std::string& source, const std::string& id) const;
    int Aviso(const std::string& prompt, int flags, const std::string& title) const;
    // Company parameter by key; type "B" answers a boolean, "N" a number, "T"/"" a text.
    // The default text applies when the company has not set the key.
    Value ParametroValor(const std::string& key, int flag, const std::string& type, const std::string& defaultText) const;
    // The user holds the right on the screen; an unknown right is not held.
    bool Derecho(const std::string& screen, const std::string& right, const std::string& notAvailable) const;
    // The host's progress for long work; a silent one when the host installed none.
    host::Progreso& Progreso() const;
    std::string UsuarioActual() const { return m_e.usuario; }
    std::string SucursalUsuario() const;
    std::string AlmacenUsuario() const;
    Entorno& entorno() const { return m_e; }

private:
    Entorno& m_e;
};

} // namespace tesmira::host

#include "forms/Toolbar.h"

#include "base/Error.h"
#include "base/FlagGuard.h"

namespace tesmira::forms {

namespace {

void call(const std::function<void()>& handler)
{
    if (handler)
        handler();
}

} // namespace

bool Toolbar::enabled(Command c) const
{
    if (!isReachable())
        return false;
    switch (c) {
    case Command::Limpiar:
    case Command::Salir:
        return true;
    case Command::Nuevo:
        return m_state == ToolbarState::Empty || m_state == ToolbarState::Viewing;
    case Command::Aceptar:
        return m_state == ToolbarState::New || m_state == ToolbarState::Editing;
    case Command::Imprimir:
        return m_state == ToolbarState::Viewing && m_opcion[0];
    case Command::Documento:
        return m_state == ToolbarState::Viewing && m_opcion[1];
    case Command::Modificar:
        return m_state == ToolbarState::Viewing && m_opcion[2];
    case Command::Eliminar:
        return m_state == ToolbarState::Viewing && m_opcion[3];
    }
    return false;
}

bool Toolbar::press(Command c)
{
    return press(c, m_state == ToolbarState::New ? 1 : 0);
}

bool Toolbar::press(Command c, int argument)
{
    if (!enabled(c))
        return false;
    switch (c) {
    case Command::Nuevo:
        setState(ToolbarState::New);
        call(onNuevo);
        break;
    case Command::Modificar:
        setState(ToolbarState::Editing);
        call(onModificar);
        break;
    case Command::Limpiar:
        setState(ToolbarState::Empty);
        call(onLimpiar);
        break;
    case Command::Aceptar: {
        if (m_accepting)
            return false;
        FlagGuard guard(m_accepting);
        if (onAceptar)
            onAceptar(argument);
        break;
    }
    case Command::Eliminar:
        call(onEliminar);
        break;
    case Command::Imprimir:
        call(onImprimir);
        break;
    case Command::Documento:
        call(onDocumento);
        break;
    case Command::Salir:
        call(onSalir);
        break;
    }
    return true;
}

void Toolbar::FinAccionError()
{
    // The screen stays as it is so the user can correct and accept again.
    changed();
}

void Toolbar::FinAccionCorrecta() { setState(ToolbarState::Empty); }

void Toolbar::InicioNuevo(bool raiseNuevo)
{
    setState(ToolbarState::New);
    if (raiseNuevo)
        call(onNuevo);
}

bool Toolbar::GrabaCamposAdicionales(const std::string& folio)
{
    m_errorCampos.clear();
    if (!grabaCamposHook)
        return true;
    std::string error;
    if (grabaCamposHook(folio, error))
        return true;
    m_errorCampos = error.empty() ? "No se pudieron guardar los campos adicionales" : std::move(error);
    return false;
}

void Toolbar::CargaCamposAdicionales(const std::string& folio)
{
    if (cargaCamposHook)
        cargaCamposHook(folio);
}

void Toolbar::setClaveDocumento(std::string clave)
{
    m_clave = std::move(clave);
    if (!m_clave.empty() && m_state == ToolbarState::Empty)
        m_state = ToolbarState::Viewing;
    changed();
}

void Toolbar::setToolbarIniciado(bool on)
{
    m_iniciado = on;
    changed();
}

bool Toolbar::OpcionDocumento(int n) const
{
    if (n < 1 || n > 4)
        throw Error("OpcionDocumento" + std::to_string(n) + " no existe");
    return m_opcion[n - 1];
}

void Toolbar::setOpcionDocumento(int n, bool on)
{
    if (n < 1 || n > 4)
        throw Error("OpcionDocumento" + std::to_string(n) + " no existe");
    m_opcion[n - 1] = on;
    changed();
}

void Toolbar::setCaption(std::string caption)
{
    m_caption = std::move(caption);
    changed();
}

void Toolbar::setDocument(std::string table, std::string key)
{
    m_table = std::move(table);
    m_key = std::move(key);
    changed();
}

void Toolbar::setState(ToolbarState s)
{
    m_state = s;
    changed();
}

} // namespace tesmira::forms

#pragma once
// The document toolbar (Controles): eight commands, four screen states, and the members the
// screen calls by their own names. Additional fields need the database, so the two
// CamposAdicionales calls delegate to hooks the host installs.
//
//   state    | commands on
//   Empty    | Nuevo, Limpiar, Salir
//   New      | Aceptar, Limpiar, Salir
//   Viewing  | Nuevo, Limpiar, Salir + Imprimir (OpcionDocumento1), Documento (2),
//            |   Modificar (3), Eliminar (4)
//   Editing  | Aceptar, Limpiar, Salir
//
// Pressing Nuevo enters New, Modificar enters Editing, Limpiar enters Empty, each before
// its handler runs. Aceptar and Eliminar leave the state to their handlers
// (FinAccionCorrecta -> Empty, FinAccionError stays).
#include "forms/Control.h"

namespace tesmira::forms {

enum class Command { Nuevo, Modificar, Aceptar, Eliminar, Limpiar, Imprimir, Documento, Salir };
enum class ToolbarState { Empty, New, Viewing, Editing };

class Toolbar : public Control {
public:
    using Control::Control;

    ToolbarState state() const { return m_state; }
    // Whether the command's button is on (and the toolbar enabled and visible).
    bool enabled(Command c) const;
    using Control::enabled;
    // Runs the command's handler when its button is on; false when it did not run.
    // Aceptar passes 1 in New and 0 in Editing. While an Aceptar handler runs a second
    // Aceptar is ignored, so one accept never starts two saves.
    bool press(Command c);
    // Aceptar with an explicit argument (the other commands ignore it).
    bool press(Command c, int argument);

    std::function<void()> onNuevo, onModificar, onEliminar, onLimpiar, onImprimir, onDocumento, onSalir;
    std::function<void(int)> onAceptar;

    // -- members the screen uses by name
    void FinAccionError();
    void FinAccionCorrecta();
    // Enters New; with true the Nuevo handler runs as if the button had been pressed.
    void InicioNuevo(bool raiseNuevo);
    // Without a hook there are no additional fields: nothing to store, true.
    bool GrabaCamposAdicionales(const std::string& folio);
    void CargaCamposAdicionales(const std::string& folio);
    const std::string& ErrorCamposAdicionales() const { return m_errorCampos; }
    bool ModoNuevo() const { return m_state == ToolbarState::New; }
    const std::string& ClaveDocumento() const { return m_clave; }
    // A key set while Empty shows a saved document: the state becomes Viewing.
    void setClaveDocumento(std::string clave);
    bool ToolbarIniciado() const { return m_iniciado; }
    void setToolbarIniciado(bool on);
    // n in 1..4; other values throw Error.
    bool OpcionDocumento(int n) const;
    void setOpcionDocumento(int n, bool on);
    bool OpcionDocumento1() const { return OpcionDocumento(1); }
    bool OpcionDocumento2() const { return OpcionDocumento(2); }
    bool OpcionDocumento3() const { return OpcionDocumento(3); }
    bool OpcionDocumento4() const { return OpcionDocumento(4); }
    void setOpcionDocumento1(bool on) { setOpcionDocumento(1, on); }
    void setOpcionDocumento2(bool on) { setOpcionDocumento(2, on); }
    void setOpcionDocumento3(bool on) { setOpcionDocumento(3, on); }
    void setOpcionDocumento4(bool on) { setOpcionDocumento(4, on); }

    // Hooks of the higher layer. The save hook returns false and fills the error on failure.
    std::function<bool(const std::string& folio, std::string& error)> grabaCamposHook;
    std::function<void(const std::string& folio)> cargaCamposHook;

    const std::string& caption() const { return m_caption; }
    void setCaption(std::string caption);
    // The document table and key column the toolbar works on ("Remision", "Rm_Folio").
    const std::string& documentTable() const { return m_table; }
    const std::string& documentKey() const { return m_key; }
    void setDocument(std::string table, std::string key);

    bool acceptsFocus() const override { return false; }

private:
    void setState(ToolbarState s);

    ToolbarState m_state = ToolbarState::Empty;
    bool m_accepting = false;
    bool m_iniciado = false;
    bool m_opcion[4] = {};
    std::string m_clave, m_errorCampos, m_caption, m_table, m_key;
};

} // namespace tesmira::forms

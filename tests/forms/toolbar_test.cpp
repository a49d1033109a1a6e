#include "base/Error.h"
#include "forms/Toolbar.h"

#include <gtest/gtest.h>

#include <map>

using namespace tesmira;
using namespace tesmira::forms;

namespace {

const Command allCommands[] = {Command::Nuevo,    Command::Modificar, Command::Aceptar,   Command::Eliminar,
                               Command::Limpiar,  Command::Imprimir,  Command::Documento, Command::Salir};

std::string onCommands(const Toolbar& t)
{
    const char* names[] = {"Nuevo", "Modificar", "Aceptar", "Eliminar", "Limpiar", "Imprimir", "Documento", "Salir"};
    std::string out;
    for (auto c : allCommands)
        if (t.enabled(c))
            out += std::string(out.empty() ? "" : " ") + names[static_cast<int>(c)];
    return out;
}

// Which buttons each screen state offers; a wrong set lets the user save from nothing
// or edit a note that may not be changed.
TEST(Toolbar, CommandsFollowTheState)
{
    Toolbar t("Controles");
    EXPECT_EQ(onCommands(t), "Nuevo Limpiar Salir") << "empty";
    EXPECT_FALSE(t.press(Command::Aceptar)) << "nothing to accept while empty";

    t.press(Command::Nuevo);
    EXPECT_EQ(t.state(), ToolbarState::New);
    EXPECT_TRUE(t.ModoNuevo());
    EXPECT_EQ(onCommands(t), "Aceptar Limpiar Salir") << "new";

    t.press(Command::Limpiar);
    t.setClaveDocumento("R0001");
    EXPECT_EQ(t.state(), ToolbarState::Viewing);
    EXPECT_EQ(onCommands(t), "Nuevo Limpiar Salir") << "viewing with no document options";

    const struct {
        int option;
        const char* expected;
    } options[] = {{1, "Nuevo Limpiar Imprimir Salir"},
                   {2, "Nuevo Limpiar Documento Salir"},
                   {3, "Nuevo Modificar Limpiar Salir"},
                   {4, "Nuevo Eliminar Limpiar Salir"}};
    for (const auto& o : options) {
        for (int n = 1; n <= 4; ++n)
            t.setOpcionDocumento(n, n == o.option);
        EXPECT_EQ(onCommands(t), o.expected) << "OpcionDocumento" << o.option;
    }

    EXPECT_FALSE(t.press(Command::Modificar)) << "a note that may not be edited";
    t.setOpcionDocumento3(true);
    EXPECT_TRUE(t.press(Command::Modificar));
    EXPECT_EQ(t.state(), ToolbarState::Editing);
    EXPECT_FALSE(t.ModoNuevo());
    EXPECT_EQ(onCommands(t), "Aceptar Limpiar Salir") << "editing";

    t.setEnabled(false);
    EXPECT_EQ(onCommands(t), "") << "a disabled toolbar offers nothing";
    EXPECT_THROW(t.setOpcionDocumento(5, true), Error) << "there are four document options";
}

// Accept passes 1 for a new note and 0 for an edited one; a refused save stays in its state.
TEST(Toolbar, AceptarArgumentFollowsTheState)
{
    Toolbar t("Controles");
    std::vector<int> args;
    t.onAceptar = [&](int a) { args.push_back(a); };
    t.press(Command::Nuevo);
    t.press(Command::Aceptar);
    t.FinAccionError();
    EXPECT_EQ(t.state(), ToolbarState::New) << "a refused save stays in new";
    t.FinAccionCorrecta();
    EXPECT_EQ(t.state(), ToolbarState::Empty);
    t.setClaveDocumento("R0001");
    t.setOpcionDocumento3(true);
    t.press(Command::Modificar);
    EXPECT_EQ(t.ClaveDocumento(), "R0001") << "the handler, not the toolbar, clears the key";
    t.setClaveDocumento("");
    EXPECT_EQ(t.state(), ToolbarState::Editing) << "clearing the key while editing keeps editing";
    t.press(Command::Aceptar);
    t.press(Command::Aceptar, 7);
    EXPECT_EQ(args, (std::vector<int>{1, 0, 7}));
}

// A second accept while the first save runs (pending events let the user click again)
// must not start a second save.
TEST(Toolbar, ReentrantAcceptIsIgnored)
{
    Toolbar t("Controles");
    int saves = 0;
    bool innerRan = true;
    t.onAceptar = [&](int) {
        ++saves;
        innerRan = t.press(Command::Aceptar);
    };
    t.press(Command::Nuevo);
    EXPECT_TRUE(t.press(Command::Aceptar));
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(innerRan);

    t.onAceptar = [&](int) {
        ++saves;
        throw Error("falla");
    };
    EXPECT_THROW(t.press(Command::Aceptar), Error);
    t.onAceptar = [&](int) { ++saves; };
    EXPECT_TRUE(t.press(Command::Aceptar)) << "a failed save must not leave the guard up";
    EXPECT_EQ(saves, 3);
}

// The handlers read ModoNuevo: the state must change before they run.
TEST(Toolbar, StateChangesBeforeTheHandlerRuns)
{
    Toolbar t("Controles");
    std::map<std::string, bool> modoNuevoSeen;
    t.onNuevo = [&] { modoNuevoSeen["Nuevo"] = t.ModoNuevo(); };
    t.onLimpiar = [&] { modoNuevoSeen["Limpiar"] = t.ModoNuevo(); };
    t.press(Command::Nuevo);
    t.press(Command::Limpiar);
    EXPECT_TRUE(modoNuevoSeen["Nuevo"]) << "Nuevo ran before the state changed";
    EXPECT_FALSE(modoNuevoSeen["Limpiar"]) << "Limpiar ran before the state changed";
}

} // namespace

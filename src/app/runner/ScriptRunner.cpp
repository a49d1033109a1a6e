#include "app/runner/ScriptRunner.h"

#include "app/runner/DialogosGuion.h"
#include "app/runner/ScriptLine.h"
#include "base/Error.h"
#include "base/Text.h"
#include "db/Connection.h"
#include "db/DatabaseName.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "forms/Controls.h"
#include "host/services/CamposAdicionales.h"
#include "host/services/Entorno.h"
#include "host/services/PadreShell.h"
#include "vn003/Pantalla.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

#include <cctype>
#include <chrono>
#include <filesystem>
#include <istream>
#include <map>
#include <ostream>
#include <thread>
#include <unistd.h>

namespace tesmira::app {

namespace fs = std::filesystem;
using forms::Command;

namespace {

// A demo database in a file of its own, removed with its -wal and -shm companions.
class TempDatabase {
public:
    TempDatabase()
    {
        std::string pattern = (fs::temp_directory_path() / "vn003-script-XXXXXX.db").string();
        const int fd = ::mkstemps(pattern.data(), 3);
        if (fd < 0)
            throw Error("No se pudo crear la base de datos temporal en " + fs::temp_directory_path().string());
        ::close(fd);
        m_path = pattern;
    }
    ~TempDatabase()
    {
        std::error_code ignored;
        for (const char* suffix : {"", "-wal", "-shm"})
            fs::remove(m_path + suffix, ignored);
        fs::remove_all(m_path + ".out", ignored);
    }
    TempDatabase(const TempDatabase&) = delete;
    TempDatabase& operator=(const TempDatabase&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

std::optional<Command> commandByName(const std::string& name)
{
    static const std::map<std::string, Command, std::less<>> names = {
        {"nuevo", Command::Nuevo},         {"modificar", Command::Modificar}, {"aceptar", Command::Aceptar},
        {"eliminar", Command::Eliminar},   {"limpiar", Command::Limpiar},     {"imprimir", Command::Imprimir},
        {"documento", Command::Documento}, {"salir", Command::Salir},
    };
    auto it = names.find(lowerAscii(name));
    if (it == names.end())
        return std::nullopt;
    return it->second;
}

int buttonByName(const std::string& name)
{
    static const std::map<std::string, int> names = {{"ok", host::vbOK},       {"cancel", host::vbCancel},
                                                     {"abort", host::vbAbort}, {"retry", host::vbRetry},
                                                     {"ignore", host::vbIgnore}, {"yes", host::vbYes},
                                                     {"no", host::vbNo}};
    if (auto it = names.find(lowerAscii(name)); it != names.end())
        return it->second;
    ScriptLine number(name);
    try {
        return number.integer("el botón");
    } catch (const ScriptError&) {
        throw ScriptError("botón desconocido: " + name + " (número u OK, Cancel, Yes, No)");
    }
}

std::string quote(const std::string& text) { return "\"" + host::DialogosGuion::escapa(text) + "\""; }

} // namespace

struct ScriptRunner::State {
    std::ostream& out;
    std::optional<TempDatabase> temp;
    std::unique_ptr<db::Connection> conn;
    host::DialogosGuion dialogs;
    std::unique_ptr<host::Entorno> env;
    std::unique_ptr<host::PadreShell> padre;
    std::unique_ptr<host::CamposAdicionales> ownCampos;
    // The runner's own, or those of the host that shows the screen.
    host::CamposAdicionales* campos = nullptr;
    vn003::Pantalla pantalla;
    vn003::frmVN003* form = nullptr;
    ShowScreen show;
    int passed = 0, failed = 0, line = 0;

    explicit State(std::ostream& o) : out(o), dialogs(&o) {}

    ~State()
    {
        // The component's host objects hold the environment: release them first; the
        // additional fields unhook themselves from the screen's toolbar before it goes.
        ownCampos.reset();
        if (form)
            vn003::DescargaComponente();
    }

    using Handler = void (State::*)(ScriptLine&);
    static const std::map<std::string, Handler>& handlers()
    {
        static const std::map<std::string, Handler> h = {
            {"date", &State::date},       {"user", &State::user},     {"param", &State::param},
            {"right", &State::right},     {"open", &State::open},     {"cmd", &State::cmd},
            {"type", &State::type},       {"enter", &State::enter},   {"leave", &State::leave},
            {"click", &State::click},     {"key", &State::key},       {"row", &State::row},
            {"col", &State::col},         {"cell", &State::cell},     {"gridkey", &State::gridkey},
            {"button", &State::button},   {"answer", &State::answer}, {"print", &State::print},
            {"sql", &State::sql},         {"expect", &State::expect}, {"wait", &State::wait},
            {"field", &State::field},
        };
        return h;
    }

    vn003::frmVN003& screen()
    {
        if (!form)
            throw ScriptError("la pantalla no está abierta (falta open)");
        if (padre && padre->cerrado())
            throw ScriptError("la pantalla se cerró con Salir");
        return *form;
    }

    forms::Control& control(const std::string& name)
    {
        forms::Control* c = screen().find(name);
        if (!c)
            throw ScriptError("no existe el control " + name);
        return *c;
    }

    // Gives the control the focus as the user's click would; a control that cannot take it
    // cannot take the user's input either.
    void focus(forms::Control& c)
    {
        if (c.acceptsFocus() && !screen().setFocus(c))
            throw Error("El control '" + c.name() + "' no puede recibir el foco");
    }

    forms::Grid& grid()
    {
        forms::Grid& g = screen().ssDetalle;
        focus(g);
        return g;
    }

    // ---- environment, before open
    void date(ScriptLine& l)
    {
        const std::string text = l.word("la fecha YYYY-MM-DD");
        l.end();
        Date d = Date::parseIso(text);
        if (d.hour || d.minute || d.second)
            throw ScriptError("date lleva solo el día: " + text);
        env->fechaServidor = d;
        conn->setClock([d] { return d; });
    }

    void user(ScriptLine& l)
    {
        env->usuario = l.word("el usuario");
        l.end();
    }

    void param(ScriptLine& l)
    {
        const std::string key = l.word("la clave");
        const std::string value = l.rest();
        db::Transaction t(*conn);
        conn->Execute("DELETE FROM Parametro WHERE Pm_Clave = '" + db::quoted(key) + "'");
        conn->Execute("INSERT INTO Parametro (Pm_Clave, Pm_Valor) VALUES ('" + db::quoted(key) + "', '" +
                      db::quoted(value) + "')");
        t.commit();
    }

    void right(ScriptLine& l)
    {
        const std::string code = l.word("el derecho");
        const std::string onOff = l.word("on u off");
        l.end();
        if (onOff != "on" && onOff != "off")
            throw ScriptError("right lleva on u off, no " + onOff);
        const std::string where = "WHERE Us_Cve_Usuario = '" + db::quoted(env->usuario) +
                                  "' AND Dr_Pantalla = 'VN003' AND Dr_Cve_Derecho = '" + db::quoted(code) + "'";
        db::Transaction t(*conn);
        conn->Execute("DELETE FROM Derecho_Usuario " + where);
        conn->Execute("INSERT INTO Derecho_Usuario (Us_Cve_Usuario, Dr_Pantalla, Dr_Cve_Derecho, Dr_Permitido) "
                      "VALUES ('" + db::quoted(env->usuario) + "', 'VN003', '" + db::quoted(code) + "', '" +
                      (onOff == "on" ? "SI" : "NO") + "')");
        t.commit();
    }

    // ---- the screen
    void open(ScriptLine& l)
    {
        std::optional<std::string> parameters;
        if (!l.atEnd())
            parameters = l.rest();
        vn003::IniciaComponente(*env);
        form = pantalla.GetPantalla();
        if (!form)
            throw Error("El componente no entregó la pantalla");
        padre = std::make_unique<host::PadreShell>(*env);
        padre->setIParametros(std::move(parameters));
        form->setPadre(padre.get());
        if (show) {
            campos = &show(*form, *env);
            return;
        }
        ownCampos.reset();
        ownCampos = std::make_unique<host::CamposAdicionales>(*env, form->Controles.documentTable());
        ownCampos->instala(form->Controles);
        campos = ownCampos.get();
        form->Form_Load();
        form->Form_Activate();
    }

    void cmd(ScriptLine& l)
    {
        const std::string name = l.word("el comando");
        const auto command = commandByName(name);
        if (!command)
            throw ScriptError("comando desconocido: " + name);
        std::optional<int> argument;
        if (!l.atEnd())
            argument = l.integer("el argumento");
        l.end();
        forms::Toolbar& toolbar = screen().Controles;
        if (!toolbar.enabled(*command)) {
            out << "cmd " << name << ": no disponible\n";
            return;
        }
        if (argument)
            toolbar.press(*command, *argument);
        else
            toolbar.press(*command);
    }

    // The toolbar's additional-fields window: a field of the document being captured.
    void field(ScriptLine& l)
    {
        const std::string name = l.word("el campo");
        const std::string text = l.rest();
        screen();
        const forms::ToolbarState state = form->Controles.state();
        if (state != forms::ToolbarState::New && state != forms::ToolbarState::Editing)
            throw Error("Los campos adicionales se capturan en Nuevo o Modificar");
        if (!campos->asigna(name, text))
            throw ScriptError("no existe el campo adicional " + name);
    }

    void type(ScriptLine& l)
    {
        forms::Control& c = control(l.word("el control"));
        const std::string text = l.rest();
        if (auto* field = dynamic_cast<forms::TextField*>(&c)) {
            focus(c);
            field->userType(text);
        } else if (auto* date = dynamic_cast<forms::DatePicker*>(&c)) {
            focus(c);
            date->userSetText(text);
        } else if (auto* series = dynamic_cast<forms::SeriesField*>(&c)) {
            // The user picks the invoice series by its code.
            if (!series->isReachable() || series->locked())
                throw Error("El control '" + c.name() + "' no está disponible");
            focus(c);
            series->setSeriesCode(text);
            series->setFolio(text);
        } else {
            throw ScriptError(c.name() + " no acepta texto");
        }
    }

    forms::TextField& textField(ScriptLine& l)
    {
        forms::Control& c = control(l.word("el control"));
        l.end();
        auto* field = dynamic_cast<forms::TextField*>(&c);
        if (!field)
            throw ScriptError(c.name() + " no es un campo de texto");
        return *field;
    }

    void enter(ScriptLine& l)
    {
        forms::TextField& field = textField(l);
        focus(field);
        field.userEnter();
    }

    void leave(ScriptLine& l)
    {
        forms::TextField& field = textField(l);
        focus(field);
        field.userLeave();
    }

    void click(ScriptLine& l)
    {
        forms::Control& c = control(l.word("el control"));
        if (auto* tabs = dynamic_cast<forms::TabStrip*>(&c)) {
            const int index = l.integer("la pestaña");
            l.end();
            tabs->userClick(index);
            return;
        }
        l.end();
        if (auto* box = dynamic_cast<forms::CheckBox*>(&c)) {
            focus(c);
            box->userClick();
        } else if (auto* button = dynamic_cast<forms::Button*>(&c)) {
            focus(c);
            button->userClick();
        } else {
            throw ScriptError(c.name() + " no se puede pulsar");
        }
    }

    void key(ScriptLine& l)
    {
        const std::string name = l.word("el control");
        const int code = l.integer("el código de tecla");
        const int shift = l.atEnd() ? 0 : l.integer("el estado de mayúsculas");
        l.end();
        vn003::frmVN003& f = screen();
        if (name != f.name())
            focus(control(name));
        // A key stroke reaches the form first (key preview), then the focused control.
        f.userKey(code, shift);
    }

    void row(ScriptLine& l)
    {
        const int n = l.integer("el renglón");
        l.end();
        forms::Grid& g = grid();
        // One past the last row is the grid's new-row line, where blind capture types the
        // next product; getting there leaves the current cell like any other move.
        if (n == g.rowCount() + 1 && g.allowAddNew) {
            int cancel = 0;
            if (g.row() >= 0 && g.currentColumn() >= 0 && g.onBeforeColChange)
                g.onBeforeColChange(cancel);
            if (cancel != 0)
                out << "row " << n << ": cancelado\n";
            else
                g.userAddRow();
            return;
        }
        if (n < 1 || n > g.rowCount())
            throw ScriptError("no existe el renglón " + std::to_string(n) + " (hay " + std::to_string(g.rowCount()) +
                              ")");
        if (!g.userSetRow(n - 1))
            out << "row " << n << ": cancelado\n";
    }

    void col(ScriptLine& l)
    {
        const std::string name = l.word("la columna");
        l.end();
        forms::Grid& g = grid();
        if (g.findColumn(name) < 0)
            throw ScriptError("no existe la columna " + name);
        if (!g.userSetColumn(name))
            out << "col " << name << ": cancelado\n";
    }

    void cell(ScriptLine& l) { grid().userTypeKeys(l.rest()); }

    void gridkey(ScriptLine& l)
    {
        const int code = l.integer("el código de tecla");
        const int shift = l.atEnd() ? 0 : l.integer("el estado de mayúsculas");
        l.end();
        grid();
        screen().userKey(code, shift);
    }

    void button(ScriptLine& l)
    {
        l.end();
        grid().userButtonClick();
    }

    void answer(ScriptLine& l)
    {
        const std::string kind = l.word("el tipo de respuesta");
        if (kind == "box") {
            const int b = buttonByName(l.word("el botón"));
            l.end();
            dialogs.respuestaMensaje(b);
        } else if (kind == "list") {
            dialogs.respuestaLista(l.rest());
        } else if (kind == "text") {
            dialogs.respuestaTexto(l.rest());
        } else if (kind == "lot") {
            host::LoteElegido lot;
            lot.lote = l.word("el lote");
            lot.cantidad1 = l.number("la cantidad 1");
            lot.cantidad2 = l.number("la cantidad 2");
            l.end();
            dialogs.respuestaLote(lot);
        } else if (kind == "serial") {
            host::SerieElegida serial;
            serial.serie = l.word("la serie");
            serial.cantidad = l.number("la cantidad");
            l.end();
            dialogs.respuestaSerie(serial);
        } else if (kind == "stock") {
            host::AlmacenElegido stock;
            stock.sucursal = l.word("la sucursal");
            stock.almacen = l.word("el almacén");
            l.end();
            dialogs.respuestaAlmacen(stock);
        } else if (kind == "pay") {
            host::PagoElegido pay;
            pay.metodo = l.word("el método");
            pay.cuenta = l.atEnd() ? "" : l.rest();
            dialogs.respuestaPago(pay);
        } else {
            throw ScriptError("respuesta desconocida: " + kind + " (box, list, text, lot, serial, stock, pay)");
        }
    }

    void print(ScriptLine& l)
    {
        const std::string name = l.word("el control");
        if (name == "grid") {
            printGrid(l);
            return;
        }
        l.end();
        const forms::Control& c = control(name);
        out << c.name() << " text=" << escapeCell(c.shownText()) << " value=" << escapeCell(c.shownValue().toString())
            << " enabled=" << c.enabled() << " visible=" << c.visible() << " locked=" << c.locked() << '\n';
    }

    void printGrid(ScriptLine& l)
    {
        forms::Grid& g = screen().ssDetalle;
        std::vector<int> columns;
        while (auto name = l.optionalWord()) {
            const int index = g.findColumn(*name);
            if (index < 0)
                throw ScriptError("no existe la columna " + *name);
            columns.push_back(index);
        }
        if (columns.empty())
            for (int c = 0; c < g.columnCount(); ++c)
                columns.push_back(c);
        for (size_t i = 0; i < columns.size(); ++i)
            out << (i ? "\t" : "") << escapeCell(g.columnDef(columns[i]).name);
        out << '\n';
        for (int r = 0; r < g.rowCount(); ++r) {
            for (size_t i = 0; i < columns.size(); ++i)
                out << (i ? "\t" : "") << escapeCell(g.cellText(r, columns[i]));
            out << '\n';
        }
    }

    void sql(ScriptLine& l)
    {
        const std::string statement = l.rest();
        if (statement.empty())
            throw ScriptError("falta la sentencia");
        out << db::formatTsv(conn->Execute(statement));
    }

    // Lets runners in other processes meet before they race on one database: what was printed
    // so far is flushed (a driver may watch for it), then the run waits for the file to exist.
    void wait(ScriptLine& l)
    {
        const std::string file = l.rest();
        if (file.empty())
            throw ScriptError("falta el archivo");
        out.flush();
        const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!std::filesystem::exists(file)) {
            if (std::chrono::steady_clock::now() > limite)
                throw ScriptError("no apareció el archivo " + file + " en 30 s");
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    std::string firstValue(const std::string& statement)
    {
        const db::Recordset rs = conn->Execute(statement);
        return rs.Eof() ? std::string() : rs.Fields(size_t{0}).toString();
    }

    static std::string mensaje(const std::string& id, int flags, const std::string& title, const std::string& prompt)
    {
        return id + " " + std::to_string(flags) + " " + quote(title) + " " + quote(prompt);
    }

    void expect(ScriptLine& l)
    {
        const std::string what = l.word("qué se espera");
        std::string expected, got;
        if (what == "message") {
            expected = l.word("el id del mensaje");
            l.end();
            const auto& shown = dialogs.mensajes();
            got = shown.empty() ? "(ninguno)" : shown.back().id.empty() ? "-" : shown.back().id;
        } else if (what == "msg") {
            // The whole message box, as its MSG line shows it.
            const std::string id = l.word("el id del mensaje");
            const int flags = l.integer("los botones e icono");
            const std::string title = l.word("el título");
            const std::string prompt = l.rest();
            expected = mensaje(id, flags, title, prompt);
            const auto& shown = dialogs.mensajes();
            got = shown.empty() ? "(ninguno)"
                                : mensaje(shown.back().id.empty() ? "-" : shown.back().id, shown.back().flags,
                                          shown.back().title, shown.back().prompt);
        } else if (what == "cell") {
            const int r = l.integer("el renglón");
            const std::string column = l.word("la columna");
            expected = l.rest();
            forms::Grid& g = screen().ssDetalle;
            const int c = g.findColumn(column);
            if (c < 0)
                throw ScriptError("no existe la columna " + column);
            got = r >= 1 && r <= g.rowCount() ? g.cellText(r - 1, c)
                                              : "(no hay renglón " + std::to_string(r) + ")";
        } else if (what == "sql") {
            const std::string text = l.rawRest();
            const size_t arrow = text.rfind("=>");
            if (arrow == std::string::npos)
                throw ScriptError("expect sql lleva SENTENCIA => TEXTO");
            std::string statement = text.substr(0, arrow);
            while (!statement.empty() && (statement.back() == ' ' || statement.back() == '\t'))
                statement.pop_back();
            expected = ScriptLine::unquote(text.substr(arrow + 2));
            got = firstValue(statement);
        } else {
            expected = l.rest();
            got = control(what).shownText();
        }
        if (expected == got) {
            ++passed;
            return;
        }
        ++failed;
        out << "FAIL line " << line << ": expected " << quote(expected) << " got " << quote(got) << " (" << what
            << ")\n";
    }
};

ScriptRunner::ScriptRunner(std::ostream& out, const std::optional<std::string>& databasePath)
    : m(std::make_unique<State>(out))
{
    std::string path;
    const bool server = databasePath && db::databaseKind(*databasePath) == db::DatabaseKind::PostgresServer;
    if (databasePath) {
        if (!server && !fs::exists(*databasePath))
            throw Error("No existe la base de datos " + *databasePath);
        path = *databasePath;
    } else {
        m->temp.emplace();
        path = m->temp->path();
    }
    m->conn = std::make_unique<db::Connection>(path, db::OpenMode::WithSchema);
    if (!databasePath)
        db::createDemo(*m->conn);
    // A server has no folder of its own: printed documents go beside the other temporary files.
    const std::string output = server ? (fs::temp_directory_path() / ("vn003-script-" + m->conn->DefaultDatabase() + ".out")).string()
                                      : path + ".out";
    m->env = std::make_unique<host::Entorno>(host::Entorno{*m->conn, m->dialogs, "ADMIN", std::nullopt, output});
}

ScriptRunner::ScriptRunner(std::ostream& out, const std::string& databasePath, ShowScreen show)
    : ScriptRunner(out, std::optional<std::string>(databasePath))
{
    m->show = std::move(show);
}

ScriptRunner::~ScriptRunner() = default;

void ScriptRunner::ensureOpen()
{
    if (m->form)
        return;
    ScriptLine none("");
    m->open(none);
}

std::string ScriptRunner::outputFolder() const { return m->env->carpetaSalida; }

const std::vector<host::DocumentoImpreso>& ScriptRunner::printed() const { return m->dialogs.impresos(); }

int ScriptRunner::passed() const { return m->passed; }
int ScriptRunner::failed() const { return m->failed; }

int ScriptRunner::run(std::istream& script)
{
    int code = 0;
    std::string text;
    while (std::getline(script, text)) {
        ++m->line;
        ScriptLine l(text);
        const auto command = l.optionalWord();
        if (!command)
            continue;
        try {
            const auto& handlers = State::handlers();
            auto it = handlers.find(*command);
            if (it == handlers.end())
                throw ScriptError("comando desconocido: " + *command);
            (m.get()->*(it->second))(l);
        } catch (const ScriptError& e) {
            // A malformed line ends the run: what follows was written for another screen state.
            m->out << "ERROR line " << m->line << ": " << host::DialogosGuion::escapa(e.what()) << '\n';
            code = 2;
            break;
        } catch (const std::exception& e) {
            // The screen refused the action (a disabled or locked control) or a failure escaped a
            // handler: a user would see nothing happen, so the script goes on and its expects judge.
            m->out << "REFUSED line " << m->line << ": " << host::DialogosGuion::escapa(e.what()) << '\n';
        }
    }
    if (code == 0 && m->failed > 0)
        code = 1;
    m->out << m->passed << " passed, " << m->failed << " failed\n";
    return code;
}

} // namespace tesmira::app

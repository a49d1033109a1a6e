// The delivery-note screen on orders of 2,000, 5,000 and 20,000 lines, driven as a clerk drives
// it, beside a floor: the rows each phase must read or write, through plain prepared SQLite
// calls on the same file in the same run. Prints one table: phase, screen ms, floor ms, their
// ratio, how the screen's time grows from 2,000 to 20,000 lines, and the goal.
// Times are CPU time of this process (the machine is shared), the median of three runs
// (one run with --lines N).
#include "bench_support.h"

#include "app/runner/DialogosGuion.h"
#include "db/Connection.h"
#include "db/Dialect.h"
#include "db/Schema.h"
#include "host/services/Entorno.h"
#include "host/services/PadreShell.h"
#include "vn003/Pantalla.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"
#include "vn003/loading/ConsultasCarga.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using tesmira::Date;
using tesmira::Value;
using tesmira::db::Connection;
using tesmira::forms::Command;
using tesmira::vn003::frmVN003;
using bench::cpuMs;
using bench::dropUnpicked;
using bench::median;
using bench::Templates;

struct Options {
    bool stockOnly = true;
    bool dispatch = false; // the finished dispatch replaces the order's lines on load
};

// The screen as the host opens it; a phase met by a message did not time what it meant to.
class Session : public bench::ScreenHost {
public:
    Session(const fs::path& file, const fs::path& outDir, Options options)
        : ScreenHost(file, outDir, options.stockOnly, options.dispatch)
    {
        form().Form_Load();
        form().Form_Activate();
    }

    void loadOrder()
    {
        form().Controles.press(Command::Nuevo);
        form().txt_Pd_Folio.userType("BXP0001");
        form().txt_Pd_Folio_Enter();
    }
    void clear() { form().Controles.press(Command::Limpiar); }

    void expectSilence(const char* phase) const
    {
        const auto& shown = mensajes();
        if (!shown.empty())
            throw std::runtime_error(std::string(phase) + ": " + shown.front().id + " " + shown.front().title + ": "
                                     + shown.front().prompt);
    }
};

void requireRows(frmVN003& f, const char* phase)
{
    if (f.ssDetalle.rowCount() == 0)
        throw std::runtime_error(std::string(phase) + ": the screen loaded no line");
}

// ---- the floor: plain prepared SQLite on the connection's handle (its SQL functions registered)

class Stmt {
public:
    Stmt(sqlite3* db, const std::string& sql) : m_db(db)
    {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &m_s, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string(sqlite3_errmsg(db)) + "\n" + sql);
    }
    ~Stmt() { sqlite3_finalize(m_s); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    Stmt& bind(std::initializer_list<Value> values) { return bindAll(std::vector<Value>(values)); }
    Stmt& bindAll(const std::vector<Value>& values)
    {
        sqlite3_reset(m_s);
        int i = 1;
        for (const Value& v : values) {
            if (v.isDouble() || v.isInt())
                sqlite3_bind_double(m_s, i++, v.toDouble());
            else {
                const std::string t = v.toString();
                sqlite3_bind_text(m_s, i++, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
            }
        }
        return *this;
    }
    int column(const char* name) const
    {
        for (int c = 0; c < sqlite3_column_count(m_s); ++c)
            if (sqlite3_stricmp(sqlite3_column_name(m_s, c), name) == 0)
                return c;
        throw std::runtime_error(std::string("no column ") + name);
    }
    // Every row read the way a loader reads it: each column into a string or a double.
    int rows()
    {
        int n = 0, rc;
        while ((rc = sqlite3_step(m_s)) == SQLITE_ROW) {
            ++n;
            for (int c = 0; c < sqlite3_column_count(m_s); ++c) {
                if (sqlite3_column_type(m_s, c) == SQLITE_TEXT)
                    m_sink += std::string(reinterpret_cast<const char*>(sqlite3_column_text(m_s, c))).size();
                else
                    m_sink += static_cast<size_t>(sqlite3_column_double(m_s, c));
            }
        }
        if (rc != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(m_db));
        sqlite3_reset(m_s);
        return n;
    }
    std::string text(int column) const { return reinterpret_cast<const char*>(sqlite3_column_text(m_s, column)); }
    bool step() { return sqlite3_step(m_s) == SQLITE_ROW; }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_s = nullptr;
    size_t m_sink = 0;
};

// The screen's own statement as SQLite runs it: translated once, its literals and the given
// `?` values bound on a plain prepared statement.
class Native {
public:
    Native(sqlite3* db, const std::string& tsql) : m_t(tesmira::db::Dialect().translate(tsql).at(0)), m_stmt(db, m_t.sql)
    {
    }
    Stmt& bind(const std::vector<Value>& markers)
    {
        std::vector<Value> values = m_t.params;
        for (size_t i = 0; i < m_t.markerOfParam.size(); ++i)
            if (m_t.markerOfParam[i] >= 0)
                values[i] = markers.at(static_cast<size_t>(m_t.markerOfParam[i]));
        return m_stmt.bindAll(values);
    }

private:
    tesmira::db::Translation m_t;
    Stmt m_stmt;
};

const char* const kProducto = "SELECT Pr_Descripcion, Pr_Maneja_Talla, Pr_Maneja_Color, Pr_Tipo_Producto, "
                              "Pr_Porcentaje_Variacion FROM Producto WHERE Pr_Cve_Producto = ?";

// The pending lines and, per line, its product: what a grid row is made of.
double floorLoad(Connection& c, const std::string& pendingTsql, bool stock)
{
    sqlite3* db = c.handle();
    const double t0 = cpuMs();
    Native pending(db, pendingTsql);
    Stmt producto(db, kProducto),
        existencia(db, "SELECT SUM(Ex_Cantidad_Control_1), SUM(Ex_Cantidad_Control_2) FROM Existencia WHERE "
                       "Sc_Cve_Sucursal = 'BX' AND Al_Cve_Almacen = '01' AND Pr_Cve_Producto = ?");
    std::vector<std::string> keys;
    Stmt& rows = pending.bind({});
    const int product = rows.column("Pr_Cve_Producto");
    while (rows.step())
        keys.push_back(rows.text(product));
    for (const auto& k : keys) {
        producto.bind({k}).rows();
        if (stock)
            existencia.bind({k}).rows();
    }
    return cpuMs() - t0;
}

double floorDispatch(Connection& c)
{
    sqlite3* db = c.handle();
    const double order = floorLoad(c, tesmira::vn003::consultas::pendientesSoloExistencia("BXP0001"), true);
    const double t0 = cpuMs();
    Native detail(db, tesmira::vn003::consultas::detalleSalida("BXS0001")),
        pending(db, tesmira::vn003::consultas::pendientesSalida("BXP0001", "", ""));
    Stmt producto(db, kProducto);
    pending.bind({}).rows();
    Stmt& rows = detail.bind({});
    std::vector<std::string> picked;
    while (rows.step())
        picked.push_back(rows.text(rows.column("Pr_Cve_Producto")));
    for (const auto& product : picked)
        producto.bind({product}).rows();
    return order + cpuMs() - t0;
}

// The essential writes of a save: per line the note line, the stock rows it leaves and their
// movements; with invoicing the sale line too, then the headers and one sum of the sale.
double floorSave(const fs::path& file, int lines, bool invoice)
{
    Connection c(file.string());
    sqlite3* db = c.handle();
    const double t0 = cpuMs();
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    {
        Stmt lineas(db, "SELECT d.Pd_ID, d.Pr_Cve_Producto, d.Sa_Cantidad_1, p.Pd_Precio_Lista, "
                        "d.Ua_Cve_Ubicacion_Almacen, d.Sa_Lote FROM PDA_Salida_Detalle d JOIN Pedido p ON "
                        "p.Pd_Folio = 'BXP0001' AND p.Pd_ID = d.Pd_ID WHERE d.Sa_Folio = 'BXS0001' AND "
                        "d.Sa_Cantidad_1 > 0 ORDER BY d.Pd_ID"),
            producto(db, "SELECT Pr_Tipo_Producto, Pr_Impuesto_Factor FROM Producto WHERE Pr_Cve_Producto = ?"),
            remision(db, "INSERT INTO Remision (Rm_Folio, Rm_ID, Rm_Fecha, Rm_Tabla, Rm_Documento, Rm_Documento_ID, "
                         "Sc_Cve_Sucursal, Al_Cve_Almacen, Cl_Cve_Cliente, Pr_Cve_Producto, Rm_Cantidad_1, "
                         "Rm_Precio_Lista, Es_Cve_Estado) VALUES ('F1', ?, '2026-12-05', 'PEDIDO', 'BXP0001', ?, 'BX', "
                         "'01', 'BXC0001', ?, ?, ?, 'AC')"),
            existencia(db, "UPDATE Existencia SET Ex_Cantidad_Control_1 = Ex_Cantidad_Control_1 - ?, "
                           "Ex_Cantidad_Control_2 = Ex_Cantidad_Control_2 - ? WHERE Sc_Cve_Sucursal = 'BX' AND "
                           "Al_Cve_Almacen = '01' AND Pr_Cve_Producto = ? AND Tl_Cve_Talla = '00' AND "
                           "Cl_Cve_Color = '00'"),
            ubicacion(db, "UPDATE Existencia_Ubicacion SET Ex_Cantidad_Control_1 = Ex_Cantidad_Control_1 - ? WHERE "
                          "Sc_Cve_Sucursal = 'BX' AND Al_Cve_Almacen = '01' AND Ua_Cve_Ubicacion_Almacen = ? AND "
                          "Pr_Cve_Producto = ? AND Tl_Cve_Talla = '00' AND Cl_Cve_Color = '00'"),
            lote(db, "UPDATE Existencia_Lote SET Lt_Cantidad_Control_1 = Lt_Cantidad_Control_1 - ? WHERE "
                     "Sc_Cve_Sucursal = 'BX' AND Al_Cve_Almacen = '01' AND Pr_Cve_Producto = ? AND "
                     "Tl_Cve_Talla = '00' AND Cl_Cve_Color = '00' AND Lt_Cve_Lote = ?"),
            movimiento(db, "INSERT INTO Movimiento_Inventario (Mi_Tabla, Mi_Documento, Mi_Partida, Sc_Cve_Sucursal, "
                           "Al_Cve_Almacen, Pr_Cve_Producto, Mi_Cantidad_Control_1) VALUES ('Remision', 'F1', ?, "
                           "'BX', '01', ?, ?)"),
            venta(db, "INSERT INTO Venta (Vn_Folio, Vn_ID, Vn_Fecha, Pr_Cve_Producto, Vn_Cantidad_1, "
                      "Vn_Precio_Lista, Vn_Precio_Descontado_Importe, Vn_Impuesto_Importe, Es_Cve_Estado) VALUES "
                      "('V1', ?, '2026-12-05', ?, ?, ?, ?, ?, 'AC')");
        struct Linea {
            std::string id, producto;
            double cantidad, precio;
            std::string ubicacion, lote;
        };
        std::vector<Linea> todas;
        lineas.bind({});
        while (lineas.step() && static_cast<int>(todas.size()) < lines)
            todas.push_back({lineas.text(0), lineas.text(1), std::stod(lineas.text(2)), std::stod(lineas.text(3)),
                             lineas.text(4), lineas.text(5)});
        for (const auto& l : todas) {
            producto.bind({l.producto}).rows();
            remision.bind({l.id, l.id, l.producto, l.cantidad, l.precio}).rows();
            existencia.bind({l.cantidad, l.cantidad, l.producto}).rows();
            ubicacion.bind({l.cantidad, l.ubicacion, l.producto}).rows();
            movimiento.bind({l.id, l.producto, l.cantidad}).rows();
            movimiento.bind({l.id, l.producto, l.cantidad}).rows();
            if (!l.lote.empty()) {
                lote.bind({l.cantidad, l.producto, l.lote}).rows();
                movimiento.bind({l.id, l.producto, l.cantidad}).rows();
            }
            if (invoice)
                venta.bind({l.id, l.producto, l.cantidad, l.precio, l.cantidad * l.precio, l.cantidad * l.precio * .16})
                    .rows();
        }
        Stmt(db, "INSERT INTO Remision_Encabezado (Rm_Folio, Rm_Fecha, Rm_Tabla, Rm_Documento, Es_Cve_Estado) "
                 "SELECT 'F1', '2026-12-05', 'PEDIDO', 'BXP0001', 'AC'")
            .bind({})
            .rows();
        Stmt(db, "UPDATE Pedido SET Es_Cve_Estado = 'RM' WHERE Pd_Folio = 'BXP0001'").bind({}).rows();
        if (invoice) {
            Stmt(db, "SELECT SUM(Vn_Precio_Descontado_Importe), SUM(Vn_Impuesto_Importe) FROM Venta WHERE Vn_Folio = "
                     "'V1'")
                .bind({})
                .rows();
            Stmt(db, "INSERT INTO Venta_Encabezado (Vn_Folio, Vn_Fecha, Es_Cve_Estado) VALUES ('V1', '2026-12-05', "
                     "'AC')")
                .bind({})
                .rows();
        }
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    return cpuMs() - t0;
}

// A saved note's lines and, per line, its product.
double floorRecall(Connection& c, const std::string& folio)
{
    sqlite3* db = c.handle();
    const double t0 = cpuMs();
    Stmt lineas(db, "SELECT * FROM Remision WHERE Rm_Folio = ? ORDER BY Rm_ID"), producto(db, kProducto);
    std::vector<std::string> keys;
    lineas.bind({folio});
    while (lineas.step())
        keys.push_back(lineas.text(lineas.column("Pr_Cve_Producto")));
    lineas.bind({folio}).rows();
    for (const auto& k : keys)
        producto.bind({k}).rows();
    return cpuMs() - t0;
}

// Totals: the grid's amounts summed and each product's weight and volume.
double floorTotals(Connection& c)
{
    sqlite3* db = c.handle();
    const double t0 = cpuMs();
    Stmt lineas(db, "SELECT Pr_Cve_Producto FROM Pedido WHERE Pd_Folio = 'BXP0001'"),
        peso(db, "SELECT Pr_Peso, Pr_Volumen FROM Producto WHERE Pr_Cve_Producto = ?");
    std::vector<std::string> keys;
    lineas.bind({});
    while (lineas.step())
        keys.push_back(lineas.text(0));
    for (const auto& k : keys)
        peso.bind({k}).rows();
    return cpuMs() - t0;
}

// ---- the screen's phases

long statusKb(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::stol(line.substr(key.size() + 1));
    return 0;
}

struct Timing {
    double screen = 0, floor = 0;
};

template <typename F>
Timing repeat(int runs, F&& once)
{
    std::vector<double> screen, floor;
    for (int i = 0; i < runs; ++i) {
        const Timing t = once();
        screen.push_back(t.screen);
        floor.push_back(t.floor);
    }
    return {median(screen), median(floor)};
}

Timing load(Templates& tp, int lines, bool stock)
{
    Session s(tp.file(lines), tp.out(), {stock, false});
    s.loadOrder(); // warm: the file's pages and the statements
    s.clear();
    const double t0 = cpuMs();
    s.loadOrder();
    const double screen = cpuMs() - t0;
    requireRows(s.form(), stock ? "stock-only load" : "ordinary load");
    s.expectSilence("load");
    return {screen, floorLoad(s.connection(), stock ? tesmira::vn003::consultas::pendientesSoloExistencia("BXP0001")
                                                    : tesmira::vn003::consultas::pendientesPedido("BXP0001"),
                              stock)};
}

Timing dispatch(Templates& tp, int lines)
{
    Session s(tp.file(lines), tp.out(), {true, true});
    s.loadOrder();
    s.clear();
    const double t0 = cpuMs();
    s.loadOrder();
    const double screen = cpuMs() - t0;
    requireRows(s.form(), "dispatch");
    s.expectSilence("dispatch");
    return {screen, floorDispatch(s.connection())};
}

// Saves the order with its dispatch on a copy of the company; answers the note's folio.
double save(Templates& tp, int lines, bool invoice, std::string* folio = nullptr,
            std::function<void(Session&)> after = {})
{
    const fs::path work = tp.copy(lines);
    double ms = 0;
    {
        Session s(work, tp.out(), {true, true});
        s.loadOrder();
        dropUnpicked(s.form());
        frmVN003& f = s.form();
        if (invoice) {
            f.txt_Sc_Cve_Sucursal_Enter();
            f.chkFacturar.setValue(tesmira::forms::CheckBox::Checked);
            f.txt_Fc_Factura.setSeriesCode("BX");
            f.txt_Fc_Factura.setFolio("BX");
        }
        const double t0 = cpuMs();
        f.Controles.press(Command::Aceptar);
        ms = cpuMs() - t0;
        s.expectSilence(invoice ? "save with invoicing" : "save");
        auto& c = s.connection();
        const std::string note =
            c.Execute("SELECT Rm_Folio FROM Remision_Encabezado WHERE Rm_Documento = 'BXP0001' AND Rm_Folio <> "
                      "'BXR0001'")
                .Fields(size_t{0})
                .toString();
        if (invoice && c.Execute("SELECT 1 FROM Factura WHERE Fc_Serie = 'BX'").Eof())
            throw std::runtime_error("save with invoicing: no invoice was written");
        if (folio)
            *folio = note;
        if (after)
            after(s);
    }
    return ms;
}

Timing saving(Templates& tp, int lines, bool invoice)
{
    const double screen = save(tp, lines, invoice);
    const double floor = floorSave(tp.copy(lines), lines, invoice);
    return {screen, floor};
}

Timing recall(Templates& tp, int lines)
{
    Timing t;
    std::string folio;
    save(tp, lines, false, &folio, [&](Session& s) {
        frmVN003& f = s.form();
        s.clear();
        const double t0 = cpuMs();
        f.txtFolio.userType(folio);
        f.txtFolio_Enter();
        t.screen = cpuMs() - t0;
        requireRows(f, "recall");
        t.floor = floorRecall(s.connection(), folio);
    });
    return t;
}

Timing totals(Templates& tp, int lines)
{
    Session s(tp.file(lines), tp.out(), {false, false});
    s.loadOrder();
    s.form().CalculaTotales();
    const double t0 = cpuMs();
    s.form().CalculaTotales();
    return {cpuMs() - t0, floorTotals(s.connection())};
}

// One quantity typed on a row in the middle of the note, and the cell left.
Timing typing(Templates& tp, int lines)
{
    Session s(tp.file(lines), tp.out(), {false, false});
    s.loadOrder();
    auto& g = s.form().ssDetalle;
    const double t0 = cpuMs();
    g.userSetRow(g.rowCount() / 2);
    g.userSetColumn("Cantidad_1");
    g.userTypeKeys("1");
    g.userSetColumn("Precio_Lista");
    const double screen = cpuMs() - t0;
    s.expectSilence("typing");
    if (g.cellText(g.rowCount() / 2, g.findColumn("Cantidad_1")).rfind("1", 0) != 0)
        throw std::runtime_error("typing: the quantity did not reach the cell");
    // The floor recomputes the row's amounts and sums the note: arithmetic only.
    const double f0 = cpuMs();
    double sum = 0;
    for (int r = 0; r < g.rowCount(); ++r)
        sum += static_cast<double>(r % 7) * 1.16;
    volatile double sink = sum;
    (void)sink;
    return {screen, cpuMs() - f0};
}

// Peak resident memory of one phase at 20,000 lines, in a process of its own (this one still
// holds what building the companies took): the phase's peak, and the same process before it.
Timing memory(const fs::path& file, const std::string& phase, const fs::path& dir, const char* self)
{
    const std::string out = (dir / "memory.txt").string();
    const std::string command = std::string(self) + " --memory " + file.string() + " " + phase + " > " + out;
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("memory: the measuring process failed");
    std::ifstream in(out);
    Timing t;
    if (!(in >> t.screen >> t.floor))
        throw std::runtime_error("memory: no measure");
    return t;
}

int measureMemory(const fs::path& file, const std::string& phase)
{
    const fs::path out = fs::temp_directory_path() / ("tesmira_bench_memory_" + std::to_string(::getpid()));
    fs::create_directories(out);
    double before = 0, peak = 0;
    {
        const bool dispatch = phase == "dispatch" || phase == "save";
        Session s(file, out, {phase != "ordinary", dispatch});
        before = static_cast<double>(statusKb("VmHWM")) / 1024;
        s.loadOrder();
        s.expectSilence("memory");
        requireRows(s.form(), "memory");
        if (phase == "save") {
            dropUnpicked(s.form());
            s.form().Controles.press(Command::Aceptar);
            s.expectSilence("save");
        }
        peak = static_cast<double>(statusKb("VmHWM")) / 1024;
    }
    fs::remove_all(out);
    std::printf("%.1f %.1f\n", peak, before);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--memory")
        return measureMemory(argv[2], argv[3]);
    std::vector<int> sizes{2000, 5000, 20000};
    // --quick skips 20,000 lines; --lines N measures one size; --only TEXT runs the phases
    // whose name holds TEXT (--only RSS: the peak memory table alone).
    std::string only;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--quick")
            sizes = {2000, 5000};
        else if (std::string(argv[i]) == "--only" && i + 1 < argc)
            only = argv[++i];
        else if (std::string(argv[i]) == "--lines" && i + 1 < argc)
            sizes = {std::atoi(argv[++i])};
    }
    Templates tp(fs::temp_directory_path() / ("tesmira_bench_screen_" + std::to_string(::getpid())));

    struct Phase {
        const char* name;
        const char* goal;
        std::function<Timing(int)> run;
    };
    const std::vector<Phase> phases{
        {"ordinary load", "<= 200", [&](int n) { return load(tp, n, false); }},
        {"stock-only load", "<= 200", [&](int n) { return load(tp, n, true); }},
        {"order + handheld dispatch", "<= 300", [&](int n) { return dispatch(tp, n); }},
        {"save with invoicing", "<= 300", [&](int n) { return saving(tp, n, true); }},
        {"save without invoicing", "<= 200", [&](int n) { return saving(tp, n, false); }},
        {"recall of a saved note", "<= 100", [&](int n) { return recall(tp, n); }},
        {"totals tab", "<= 16", [&](int n) { return totals(tp, n); }},
        {"typing one cell", "<= 16", [&](int n) { return typing(tp, n); }},
    };

    // 20k/2k is the screen's growth; the floor's own growth follows in brackets, since the
    // database alone does not grow linearly.
    std::printf("%-27s %7s %10s %10s %7s %14s   %s\n", "phase", "lines", "screen ms", "floor ms", "ratio",
                "20k/2k (floor)", "goal at 5,000 (ms)");
    try {
        for (const Phase& p : phases) {
            if (!only.empty() && std::string(p.name).find(only) == std::string::npos)
                continue;
            std::map<int, Timing> t;
            for (int n : sizes)
                t[n] = repeat(sizes.size() == 1 ? 1 : 3, [&] { return p.run(n); });
            for (int n : sizes) {
                char growth[32] = "";
                if (n == sizes.back() && t.count(2000) && n != 2000)
                    std::snprintf(growth, sizeof growth, "%.1f (%.1f)", t[n].screen / t[2000].screen,
                                  t[2000].floor > 0 ? t[n].floor / t[2000].floor : 0.0);
                std::printf("%-27s %7d %10.1f %10.1f %7.1f %14s   %s\n", p.name, n, t[n].screen, t[n].floor,
                            t[n].floor > 0 ? t[n].screen / t[n].floor : 0.0, growth, n == 5000 ? p.goal : "");
            }
        }
        if (sizes.back() == 20000 && (only.empty() || only == "RSS")) {
            std::printf("\n%-27s %7s %10s %10s   %s\n", "peak RSS (MB)", "lines", "phase", "before", "goal");
            const std::pair<const char*, const char*> measured[] = {
                {"ordinary", "ordinary load"}, {"stock", "stock-only load"}, {"dispatch", "order + handheld dispatch"},
                {"save", "load + save"}};
            for (const auto& [phase, name] : measured) {
                const fs::path file = std::string(phase) == "save" ? tp.copy(20000) : tp.file(20000);
                const Timing m = memory(file, phase, tp.dir(), argv[0]);
                std::printf("%-27s %7d %10.1f %10.1f   %s\n", name, 20000, m.screen, m.floor, "<= 64");
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_screen: %s\n", e.what());
        return 1;
    }
    return 0;
}

// Times the delivery-note screen on the orders clerks really deliver (1,000 to 20,000 lines),
// driven as the user drives it: the two order loaders, the handheld dispatch, the totals, the
// whole save, and the memory a 20,000-line load takes.
#include "generate.h"

#include "app/runner/DialogosGuion.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "host/services/Entorno.h"
#include "host/services/PadreShell.h"
#include "vn003/Pantalla.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;
using tesmira::Date;
using tesmira::db::Connection;
using tesmira::forms::Command;
using tesmira::vn003::frmVN003;

void removeDatabase(const fs::path& file)
{
    fs::remove(file);
    fs::remove(file.string() + "-wal");
    fs::remove(file.string() + "-shm");
}

// One database file per order size (demo company plus the generated order, then the native
// SQL of TESMIRA_BENCH_SQL when set), built on first request and copied by the benchmarks that write.
class Templates {
public:
    explicit Templates(fs::path dir)
        : m_dir(std::move(dir))
    {
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    ~Templates() { fs::remove_all(m_dir); }
    Templates(const Templates&) = delete;
    Templates& operator=(const Templates&) = delete;

    const fs::path& dir() const { return m_dir; }

    const fs::path& file(int lines)
    {
        auto it = m_files.find(lines);
        if (it != m_files.end())
            return it->second;
        const fs::path file = m_dir / ("company_" + std::to_string(lines) + ".db");
        {
            Connection c(file.string());
            tesmira::db::createDemo(c);
            bench::generateCompany(c, lines);
            // Lets an index or a setting be tried on the same data without a rebuild.
            if (const char* extra = std::getenv("TESMIRA_BENCH_SQL"))
                c.executeScript(extra);
        }
        return m_files.emplace(lines, file).first->second;
    }

private:
    fs::path m_dir;
    std::map<int, fs::path> m_files;
};

struct Options {
    bool stockOnly = true;
    // Held back, the finished dispatch is not loaded with the order.
    bool holdDispatch = true;
};

// The screen opened by the host over a database file, with scripted dialogs that answer
// every question as cancelled.
class Session {
public:
    Session(const fs::path& file, const fs::path& outDir, Options options)
        : m_conn(file.string())
        , m_entorno{m_conn, m_dialogs, "ADMIN", Date{2026, 12, 5}, outDir.string()}
        , m_padre(m_entorno)
    {
        m_conn.Execute("DELETE FROM Parametro WHERE Pm_Clave = 'PED_SURTIR_SOLO_EXISTENTE'");
        m_conn.Execute(std::string("INSERT INTO Parametro (Pm_Clave, Pm_Valor) VALUES ('PED_SURTIR_SOLO_EXISTENTE', '")
                       + (options.stockOnly ? "1" : "0") + "')");
        setDispatchState(options.holdDispatch ? "PR" : "FN");
        tesmira::vn003::IniciaComponente(m_entorno);
        m_form = m_pantalla.GetPantalla();
        m_form->setPadre(&m_padre);
        m_form->Form_Load();
        m_form->Form_Activate();
    }
    ~Session() { tesmira::vn003::DescargaComponente(); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    frmVN003& form() { return *m_form; }
    Connection& connection() { return m_conn; }

    void setDispatchState(const std::string& state)
    {
        m_conn.Execute("UPDATE PDA_Salida SET Es_Cve_Estado = '" + state + "' WHERE Sa_Folio = 'BXS0001'");
    }

    // A new note for the order, as the clerk starts it.
    void loadOrder()
    {
        m_form->Controles.press(Command::Nuevo);
        m_form->txt_Pd_Folio.userType("BXP0001");
        m_form->txt_Pd_Folio_Enter();
    }

    void clear() { m_form->Controles.press(Command::Limpiar); }

    // The first message shown, when any: a benchmark that met one did not time what it meant to.
    std::optional<std::string> message() const
    {
        const auto& shown = m_dialogs.mensajes();
        if (shown.empty())
            return std::nullopt;
        return shown.front().id + " " + shown.front().title + ": " + shown.front().prompt;
    }

private:
    Connection m_conn;
    tesmira::host::DialogosGuion m_dialogs;
    tesmira::host::Entorno m_entorno;
    tesmira::host::PadreShell m_padre;
    tesmira::vn003::Pantalla m_pantalla;
    frmVN003* m_form = nullptr;
};

// Stops the benchmark when the screen spoke or loaded nothing; true when all is well.
bool checked(benchmark::State& state, const Session& s, int rows)
{
    if (auto m = s.message()) {
        state.SkipWithError(m->c_str());
        return false;
    }
    if (rows == 0) {
        state.SkipWithError("the screen loaded no line");
        return false;
    }
    return true;
}

void LoadOrder(benchmark::State& state, Templates& templates, bool stockOnly)
{
    const int lines = static_cast<int>(state.range(0));
    Session s(templates.file(lines), templates.dir() / "out", {stockOnly, true});
    int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.clear();
        state.ResumeTiming();
        s.loadOrder();
        rows = s.form().ssDetalle.rowCount();
    }
    if (!checked(state, s, rows))
        return;
    state.counters["rows"] = rows;
    state.SetItemsProcessed(state.iterations() * rows);
}

void LoadDispatch(benchmark::State& state, Templates& templates)
{
    const int lines = static_cast<int>(state.range(0));
    Session s(templates.file(lines), templates.dir() / "out", {true, true});
    s.loadOrder();
    s.setDispatchState("FN");
    frmVN003& f = s.form();
    int rows = 0;
    for (auto _ : state) {
        f.txtSalida.setText("BXS0001");
        f.txtSalida_Enter();
        rows = f.ssDetalle.rowCount();
    }
    if (!checked(state, s, rows))
        return;
    state.counters["rows"] = rows;
    state.SetItemsProcessed(state.iterations() * rows);
}

void Totals(benchmark::State& state, Templates& templates)
{
    const int lines = static_cast<int>(state.range(0));
    Session s(templates.file(lines), templates.dir() / "out", {false, true});
    s.loadOrder();
    frmVN003& f = s.form();
    for (auto _ : state)
        f.CalculaTotales();
    if (!checked(state, s, f.ssDetalle.rowCount()))
        return;
    state.counters["rows"] = f.ssDetalle.rowCount();
    state.SetItemsProcessed(state.iterations() * f.ssDetalle.rowCount());
}

// The terminal records lines it found nothing to pick for; the clerk deletes them before saving.
void dropUnpicked(frmVN003& f)
{
    auto& g = f.ssDetalle;
    for (int r = g.rowCount() - 1; r >= 0; --r) {
        g.setRow(r);
        if (g.col("Cantidad_1").value().toDouble() == 0)
            g.removeRow(r);
    }
    g.moveFirst();
}

// Each iteration saves the same note on a fresh copy of the company: the order with its
// finished dispatch (lots and locations picked), accepted as the toolbar accepts it.
void Save(benchmark::State& state, Templates& templates)
{
    const int lines = static_cast<int>(state.range(0));
    const fs::path work = templates.dir() / "save.db";
    int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        removeDatabase(work);
        fs::copy_file(templates.file(lines), work);
        std::optional<Session> s;
        s.emplace(work, templates.dir() / "out", Options{true, false});
        s->loadOrder();
        dropUnpicked(s->form());
        rows = s->form().ssDetalle.rowCount();
        state.ResumeTiming();

        s->form().Controles.press(Command::Aceptar);

        state.PauseTiming();
        const bool saved = s->connection()
                               .Execute("SELECT COUNT(*) FROM Remision_Encabezado WHERE Rm_Documento = 'BXP0001'")
                               .Fields(size_t{0})
                               .toInt()
            == 2;
        const auto message = s->message();
        s.reset();
        removeDatabase(work);
        state.ResumeTiming();
        if (message || !saved) {
            state.SkipWithError(message ? message->c_str() : "the note was not saved");
            return;
        }
    }
    state.counters["rows"] = rows;
    state.SetItemsProcessed(state.iterations() * rows);
}

// Kilobytes of a "VmXXX:" line of /proc/self/status; 0 when the system has none.
long statusKb(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::stol(line.substr(key.size() + 1));
    return 0;
}

// Heap bytes in use (glibc), small blocks and mapped ones.
double heapInUseMb()
{
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd) / (1024 * 1024);
}

// Memory of one 20,000-line load: the process's peak resident size (the peak mark is reset
// before the load where Linux allows it, clear_refs 5; elsewhere ru_maxrss is the whole-life
// peak) and the heap the loaded screen keeps. RSS alone hides the grid: the load reuses heap
// that earlier work (the data generator) freed.
void LoadMemory(benchmark::State& state, Templates& templates)
{
    const int lines = static_cast<int>(state.range(0));
    Session s(templates.file(lines), templates.dir() / "out", {true, true});
    int rows = 0;
    double peakMb = 0, heldMb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.clear();
        const double heapBefore = heapInUseMb();
        const bool reset = static_cast<bool>(std::ofstream("/proc/self/clear_refs") << "5");
        state.ResumeTiming();
        s.loadOrder();
        state.PauseTiming();
        rows = s.form().ssDetalle.rowCount();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const long peak = reset ? statusKb("VmHWM") : usage.ru_maxrss;
        peakMb = static_cast<double>(peak) / 1024;
        heldMb = heapInUseMb() - heapBefore;
        state.ResumeTiming();
    }
    if (!checked(state, s, rows))
        return;
    state.counters["rows"] = rows;
    state.counters["peak_rss_MB"] = peakMb;
    state.counters["heap_held_MB"] = heldMb;
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Templates templates(fs::temp_directory_path() / ("tesmira_bench_screen_" + std::to_string(::getpid())));

    const auto ms = benchmark::kMillisecond;
    benchmark::RegisterBenchmark("LoadOrder/ordinary", LoadOrder, std::ref(templates), false)
        ->Arg(1000)->Arg(5000)->Arg(20000)->Unit(ms);
    benchmark::RegisterBenchmark("LoadOrder/stock_only", LoadOrder, std::ref(templates), true)
        ->Arg(1000)->Arg(5000)->Arg(20000)->Unit(ms);
    benchmark::RegisterBenchmark("LoadDispatch", LoadDispatch, std::ref(templates))
        ->Arg(1000)->Arg(5000)->Arg(20000)->Unit(ms);
    benchmark::RegisterBenchmark("CalculaTotales", Totals, std::ref(templates))->Arg(5000)->Arg(20000)->Unit(ms);
    benchmark::RegisterBenchmark("Save", Save, std::ref(templates))->Arg(1000)->Arg(5000)->Unit(ms);
    benchmark::RegisterBenchmark("LoadMemory", LoadMemory, std::ref(templates))->Arg(20000)->Iterations(1)->Unit(ms);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

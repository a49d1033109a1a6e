#pragma once
// What the screen's and the window's benchmarks share: CPU time, the generated company per
// order size with a scratch copy for phases that write, and the loading mode of a session.
#include "generate.h"

#include "app/runner/DialogosGuion.h"
#include "db/Connection.h"
#include "db/Schema.h"
#include "host/services/Entorno.h"
#include "host/services/PadreShell.h"
#include "vn003/Pantalla.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

namespace fs = std::filesystem;

inline double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

inline void removeDatabase(const fs::path& file)
{
    for (const char* suffix : {"", "-wal", "-shm"})
        fs::remove(file.string() + suffix);
}

// One database per order size, built once; phases that write work on a copy.
class Templates {
public:
    explicit Templates(fs::path dir) : m_dir(std::move(dir))
    {
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "out");
    }
    ~Templates() { fs::remove_all(m_dir); }
    Templates(const Templates&) = delete;
    Templates& operator=(const Templates&) = delete;

    const fs::path& dir() const { return m_dir; }
    fs::path out() const { return m_dir / "out"; }
    fs::path file(int lines) const
    {
        const fs::path file = m_dir / ("company_" + std::to_string(lines) + ".db");
        if (!fs::exists(file)) {
            tesmira::db::Connection c(file.string());
            tesmira::db::createDemo(c);
            generateCompany(c, lines);
            c.Execute("PRAGMA wal_checkpoint(TRUNCATE)");
        }
        return file;
    }
    fs::path copy(int lines) const
    {
        const fs::path work = m_dir / "work.db";
        removeDatabase(work);
        fs::copy_file(file(lines), work);
        return work;
    }

private:
    fs::path m_dir;
};

// Whether a session's order loads only the lines with stock, and whether the order's finished
// handheld dispatch replaces its lines on load.
inline void setLoadMode(tesmira::db::Connection& c, bool stockOnly, bool dispatch)
{
    c.Execute("DELETE FROM Parametro WHERE Pm_Clave = 'PED_SURTIR_SOLO_EXISTENTE'");
    c.Execute("INSERT INTO Parametro (Pm_Clave, Pm_Valor) VALUES ('PED_SURTIR_SOLO_EXISTENTE', ?)",
              {std::string(stockOnly ? "1" : "0")});
    c.Execute("UPDATE PDA_Salida SET Es_Cve_Estado = ? WHERE Sa_Folio = 'BXS0001'", {std::string(dispatch ? "FN" : "PR")});
}

// The screen opened by the host over a database file in a load mode; its messages answer as
// cancelled and are kept for the phase to report.
class ScreenHost {
public:
    ScreenHost(const fs::path& file, const fs::path& outDir, bool stockOnly, bool dispatch)
        : m_conn(file.string())
        , m_entorno{m_conn, m_dialogs, "ADMIN", tesmira::Date{2026, 12, 5}, outDir.string()}
        , m_padre(m_entorno)
    {
        setLoadMode(m_conn, stockOnly, dispatch);
        tesmira::vn003::IniciaComponente(m_entorno);
        m_form = m_pantalla.GetPantalla();
        m_form->setPadre(&m_padre);
    }
    ~ScreenHost() { tesmira::vn003::DescargaComponente(); }
    ScreenHost(const ScreenHost&) = delete;
    ScreenHost& operator=(const ScreenHost&) = delete;

    tesmira::vn003::frmVN003& form() const { return *m_form; }
    tesmira::db::Connection& connection() { return m_conn; }
    tesmira::host::Entorno& entorno() { return m_entorno; }
    const auto& mensajes() const { return m_dialogs.mensajes(); }

private:
    tesmira::db::Connection m_conn;
    tesmira::host::DialogosGuion m_dialogs;
    tesmira::host::Entorno m_entorno;
    tesmira::host::PadreShell m_padre;
    tesmira::vn003::Pantalla m_pantalla;
    tesmira::vn003::frmVN003* m_form = nullptr;
};

// The terminal records lines it found nothing to pick for; the clerk deletes them before saving.
inline void dropUnpicked(tesmira::vn003::frmVN003& f)
{
    auto& g = f.ssDetalle;
    for (int r = g.rowCount() - 1; r >= 0; --r) {
        g.setRow(r);
        if (g.col("Cantidad_1").value().toDouble() == 0)
            g.removeRow(r);
    }
    g.moveFirst();
}

} // namespace bench

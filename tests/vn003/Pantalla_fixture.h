#pragma once
// Shared fixture of the screen's tests: a demo company in a temp file (or a server database of
// its own when the run names one, see TestDatabase.h), scripted dialogs, the
// server date 2026-12-05, and the screen opened the way the host opens it. Parameters and rights
// written before abre() are what Form_Load reads.
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "host/services/DialogosGuion.h"
#include "host/services/Entorno.h"
#include "host/services/PadreShell.h"
#include "vn003/Pantalla.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"
#include "../db/TestDatabase.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>

namespace tesmira::vn003::testing {

class PantallaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        const std::string file = (std::filesystem::temp_directory_path() /
                                  ("vn003_" + name + "_" + std::to_string(::getpid()) + ".db"))
                                     .string();
        m_db = std::make_unique<db::TestDatabase>();
        m_path = m_db->onServer() ? m_db->name() : file;
        m_salida = file + ".out";
        std::filesystem::remove(file);
        m_conn = std::make_unique<db::Connection>(m_path, db::OpenMode::WithSchema);
        db::createDemo(*m_conn);
        m_dialogos = std::make_unique<host::DialogosGuion>(&m_transcript);
        m_entorno = std::make_unique<host::Entorno>(host::Entorno{*m_conn, *m_dialogos, "ADMIN", Date{2026, 12, 5},
                                                                  carpetaSalida()});
    }

    void TearDown() override
    {
        DescargaComponente();
        m_padre.reset();
        m_entorno.reset();
        m_conn.reset();
        if (!m_db->onServer()) {
            std::filesystem::remove(m_path);
            std::filesystem::remove(m_path + "-wal");
            std::filesystem::remove(m_path + "-shm");
        }
        m_db.reset();
        std::filesystem::remove_all(carpetaSalida());
    }

    // Before abre(): the signed-in user ("ADMIN" unless changed).
    void usuario(const std::string& codigo) { m_entorno->usuario = codigo; }

    // Before abre(): a company parameter.
    void param(const std::string& clave, const std::string& valor)
    {
        m_conn->Execute("DELETE FROM Parametro WHERE Pm_Clave = '" + db::quoted(clave) + "'");
        m_conn->Execute("INSERT INTO Parametro (Pm_Clave, Pm_Valor) VALUES ('" + db::quoted(clave) + "', '" +
                        db::quoted(valor) + "')");
    }

    // Before abre(): grants or denies a right of the screen to the current user.
    void right(const std::string& codigo, bool on)
    {
        const std::string usuario = db::quoted(m_entorno->usuario);
        const std::string derecho = db::quoted(codigo);
        m_conn->Execute("DELETE FROM Derecho_Usuario WHERE Us_Cve_Usuario = '" + usuario +
                        "' AND Dr_Pantalla = 'VN003' AND Dr_Cve_Derecho = '" + derecho + "'");
        m_conn->Execute("INSERT INTO Derecho_Usuario (Us_Cve_Usuario, Dr_Pantalla, Dr_Cve_Derecho, Dr_Permitido) "
                        "VALUES ('" + usuario + "', 'VN003', '" + derecho + "', '" + (on ? "SI" : "NO") + "')");
    }

    // Starts the component and opens the screen as the host does (load, then activate).
    frmVN003& abre(std::optional<std::string> iParametros = std::nullopt)
    {
        IniciaComponente(*m_entorno);
        m_frm = m_pantalla.GetPantalla();
        if (!m_frm)
            throw Error("La pantalla no se pudo crear");
        m_padre = std::make_unique<host::PadreShell>(*m_entorno);
        if (iParametros)
            m_padre->setIParametros(*iParametros);
        m_frm->setPadre(m_padre.get());
        m_frm->Form_Load();
        m_frm->Form_Activate();
        return *m_frm;
    }

    frmVN003& frm() { return *m_frm; }
    host::DialogosGuion& dialogos() { return *m_dialogos; }
    host::Entorno& entorno() { return *m_entorno; }
    host::PadreShell& padre() { return *m_padre; }
    db::Connection& conexion() { return *m_conn; }
    Pantalla& pantalla() { return m_pantalla; }
    // Everything the dialogs wrote so far (MSG lines, offered lists).
    std::string transcript() const { return m_transcript.str(); }
    // Id of the last message box; "" when none was shown.
    std::string ultimoMensaje() const
    {
        const auto& m = m_dialogos->mensajes();
        return m.empty() ? std::string() : m.back().id;
    }

    // First column of the first row as text; "" when there is no row.
    std::string sql(const std::string& tsql)
    {
        db::Recordset rs = m_conn->Execute(tsql);
        return rs.Eof() ? std::string() : rs.Fields(size_t{0}).toString();
    }

private:
    std::string carpetaSalida() const { return m_salida; }

    std::unique_ptr<db::TestDatabase> m_db;
    std::string m_path, m_salida;
    std::unique_ptr<db::Connection> m_conn;
    std::ostringstream m_transcript;
    std::unique_ptr<host::DialogosGuion> m_dialogos;
    std::unique_ptr<host::Entorno> m_entorno;
    std::unique_ptr<host::PadreShell> m_padre;
    Pantalla m_pantalla;
    frmVN003* m_frm = nullptr;
};

// A table case's `nombre` as a test name: letters and digits, the rest one '_'.
struct NombreCaso {
    template <class Caso>
    std::string operator()(const ::testing::TestParamInfo<Caso>& info) const
    {
        std::string n;
        for (const char* p = info.param.nombre; *p; ++p) {
            const auto ch = static_cast<unsigned char>(*p);
            if (std::isalnum(ch) && ch < 128)
                n += *p;
            else if (n.empty() || n.back() != '_')
                n += '_';
        }
        return n;
    }
};

} // namespace tesmira::vn003::testing

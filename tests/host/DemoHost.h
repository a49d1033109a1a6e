#pragma once
// A fresh demo company in a temporary database file (or a server database of its own when the
// run names one, see TestDatabase.h), with scripted dialogs, the server
// date fixed on 2026-12-05 and printing into a temporary folder.
#include "app/runner/DialogosGuion.h"
#include "db/Connection.h"
#include "db/Schema.h"
#include "host/services/Entorno.h"
#include "../db/TestDatabase.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

namespace tesmira::host::prueba {

class DemoHost : public ::testing::Test {
protected:
    DemoHost()
    {
        static std::atomic<int> counter{0};
        m_dir = std::filesystem::temp_directory_path()
            / ("tesmira-host-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(m_dir);
        conexion = std::make_unique<db::Connection>(m_db.onServer() ? m_db.name() : (m_dir / "demo.db").string(),
                                                    db::OpenMode::WithSchema);
        db::createDemo(*conexion);
        entorno = std::make_unique<Entorno>(Entorno{*conexion, dialogos, "ADMIN", Date{2026, 12, 5, 10, 30, 0},
                                                    (m_dir / "salida").string()});
    }
    ~DemoHost() override
    {
        entorno.reset();
        conexion.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    // The first column of the first row, as text.
    std::string dato(const std::string& statement)
    {
        db::Recordset rs = conexion->Execute(statement);
        return rs.Eof() ? std::string("<sin filas>") : rs.Fields(size_t{0}).toString();
    }
    // A company parameter, replacing any stored value.
    void parametro(const std::string& key, const std::string& value)
    {
        conexion->Execute("DELETE FROM Parametro WHERE Pm_Clave = '" + db::quoted(key) + "'");
        conexion->Execute("INSERT INTO Parametro (Pm_Clave, Pm_Valor) VALUES ('" + db::quoted(key) + "', '"
                          + db::quoted(value) + "')");
    }

    std::ostringstream transcript;
    DialogosGuion dialogos{&transcript};
    std::unique_ptr<db::Connection> conexion;
    std::unique_ptr<Entorno> entorno;

private:
    db::TestDatabase m_db; // dropped after the destructor has closed the connection
    std::filesystem::path m_dir;
};

} // namespace tesmira::host::prueba

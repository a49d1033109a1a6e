#pragma once
// Where a test's database lives: a private in-memory SQLite database, or, when the run names a
// PostgreSQL server in TESMIRA_TEST_PG (a postgresql:// URL without database, or the folder of
// the test cluster, whose `url` file holds it), a database of its own there, dropped at the end.
#include "db/Connection.h"
#include "db/Recordset.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace tesmira::db {

// Every table's rows in a fixed order, on either engine: equal dumps mean an unchanged database.
inline std::string dump(Connection& c)
{
    std::string out;
    for (auto t = c.Execute("SELECT Name FROM sysobjects WHERE Type = 'U' ORDER BY Name"); !t.Eof(); t.MoveNext()) {
        const std::string table = t.Fields(size_t{0}).toString();
        out += "## " + table + "\n" + formatTsv(c.Execute("SELECT * FROM " + table + " ORDER BY 1, 2"));
    }
    return out;
}

class TestDatabase {
public:
    TestDatabase()
    {
        const std::string server = serverUrl();
        if (server.empty())
            return;
        static int counter = 0;
        m_server = server;
        m_database = "t_" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
        Connection admin(m_server + "/postgres", OpenMode::Bare);
        admin.Execute("DROP DATABASE IF EXISTS " + m_database);
        admin.Execute("CREATE DATABASE " + m_database);
        m_name = m_server + "/" + m_database;
    }
    ~TestDatabase()
    {
        if (m_server.empty())
            return;
        try {
            Connection admin(m_server + "/postgres", OpenMode::Bare);
            admin.Execute("DROP DATABASE IF EXISTS " + m_database);
        } catch (...) {
            // the cluster goes away with the run
        }
    }
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    const std::string& name() const { return m_name; }
    bool onServer() const { return !m_server.empty(); }

    static std::string serverUrl()
    {
        const char* v = std::getenv("TESMIRA_TEST_PG");
        std::string value = v ? v : "";
        if (value.empty() || value.rfind("postgres", 0) == 0)
            return value;
        std::ifstream file(value + "/url");
        std::string url;
        std::getline(file, url);
        return url;
    }

private:
    std::string m_server, m_database;
    std::string m_name = ":memory:";
};

} // namespace tesmira::db

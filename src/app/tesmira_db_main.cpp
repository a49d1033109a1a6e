// tesmira-db: creates the database (schema, optionally the demo data) and runs T-SQL against it.
//   tesmira-db init [--demo] FILE|postgresql://…
//   tesmira-db sql FILE|postgresql://… "T-SQL"
#include "base/Error.h"
#include "db/Connection.h"
#include "db/DatabaseName.h"
#include "db/Schema.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using tesmira::Error;
using namespace tesmira::db;

int usage()
{
    std::cerr << "uso: tesmira-db init [--demo] ARCHIVO|postgresql://…\n"
                 "     tesmira-db sql ARCHIVO|postgresql://… \"T-SQL\"\n";
    return 2;
}

void removeDatabase(const std::string& file)
{
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm"})
        fs::remove(file + suffix, ignored);
}

bool isServer(const std::string& name) { return databaseKind(name) == DatabaseKind::PostgresServer; }

// A server database must exist and be empty; schema and demo go in one transaction, so a
// failure leaves it as it was.
int initServer(const std::string& name, bool demo)
{
    Connection c(name, OpenMode::Bare);
    Transaction t(c);
    c.createSchema();
    if (demo)
        c.executeScript(demoSql());
    t.commit();
    return 0;
}

int init(const std::string& file, bool demo)
{
    if (isServer(file))
        return initServer(file, demo);
    if (fs::exists(file) && fs::file_size(file) > 0)
        throw Error("El archivo " + file + " ya existe; no se modifica");
    try {
        Connection c(file);
        if (demo)
            createDemo(c);
    } catch (const Error&) {
        removeDatabase(file); // a half-created database is worse than none
        throw;
    }
    return 0;
}

int sql(const std::string& file, const std::string& statement)
{
    if (!isServer(file) && !fs::exists(file))
        throw Error("No existe la base de datos " + file);
    Connection c(file);
    Transaction t(c);
    const Recordset rs = c.Execute(statement);
    t.commit();
    std::cout << formatTsv(rs);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 2 && args[0] == "init")
            return init(args[1], false);
        if (args.size() == 3 && args[0] == "init" && args[1] == "--demo")
            return init(args[2], true);
        if (args.size() == 3 && args[0] == "sql")
            return sql(args[1], args[2]);
        return usage();
    } catch (const std::exception& e) {
        std::cerr << "tesmira-db: " << e.what() << '\n';
        return 1;
    }
}

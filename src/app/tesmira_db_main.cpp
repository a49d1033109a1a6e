// tesmira-db: creates the database (schema, optionally the demo data) and runs T-SQL against it.
//   tesmira-db init [--demo] FILE|postgresql://…
//   tesmira-db sql FILE|postgresql://… "T-SQL"
//   tesmira-db generate FILE --lines N
#include "base/Error.h"
#include "db/Connection.h"
#include "db/DatabaseName.h"
#include "db/Schema.h"
#include "generate.h"

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
                 "     tesmira-db sql ARCHIVO|postgresql://… \"T-SQL\"\n"
                 "     tesmira-db generate ARCHIVO --lines N\n";
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

// The volume company (branch BX, order BXP0001 of N lines, its dispatch BXS0001 and an earlier
// note) beside the demo company, which a new file gets first: the screen needs its counters,
// users and parameters. A file that already holds the volume company is refused.
int generate(const std::string& file, const std::string& lines)
{
    int n = 0;
    try {
        size_t used = 0;
        n = std::stoi(lines, &used);
        if (used != lines.size())
            n = 0;
    } catch (const std::exception&) {
        n = 0;
    }
    if (n < 1 || n > 20000)
        throw Error("--lines debe ser un número de 1 a 20000, no " + lines);
    const bool nuevo = !fs::exists(file) || fs::file_size(file) == 0;
    try {
        Connection c(file);
        if (!c.Execute("SELECT 1 FROM Sucursal WHERE Sc_Cve_Sucursal = 'BX'").Eof())
            throw Error("El archivo " + file + " ya tiene la compañía de volumen; no se modifica");
        if (c.Execute("SELECT 1 FROM Usuario").Eof())
            createDemo(c);
        const auto company = bench::generateCompany(c, n);
        std::cout << "pedido " << company.orderFolio << " (" << company.lines << " partidas), salida "
                  << company.dispatchFolio << ", remisión previa " << company.noteFolio << '\n';
    } catch (const Error&) {
        if (nuevo)
            removeDatabase(file);
        throw;
    }
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
        if (args.size() == 4 && args[0] == "generate" && args[2] == "--lines")
            return generate(args[1], args[3]);
        return usage();
    } catch (const std::exception& e) {
        std::cerr << "tesmira-db: " << e.what() << '\n';
        return 1;
    }
}

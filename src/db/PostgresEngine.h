#pragma once
// A PostgreSQL connection through libpq, reached by Connection for a server database name.
// Every failure throws db::DbError with the server's message and its SQLSTATE as a DbErrorCode.
#include "db/Dialect.h"
#include "db/Recordset.h"
#include "db/SqlFunctions.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

struct pg_conn;
struct pg_result;

namespace tesmira::db {

class PostgresEngine {
public:
    // Connects; a bad connection string, an unreachable server or a missing database throws
    // one line naming the database and what is wrong.
    PostgresEngine(const std::string& conninfo, const Clock& clock);
    ~PostgresEngine();
    PostgresEngine(const PostgresEngine&) = delete;
    PostgresEngine& operator=(const PostgresEngine&) = delete;

    // Runs one translated statement with the values of its parameters (`t.params`, or those
    // with the caller's `?` values in place). Inside a transaction it runs under a savepoint, so
    // a failed statement leaves the transaction usable, as on SQL Server and SQLite.
    Recordset run(const Translation& t, const std::vector<Value>& params);
    // A script of SQLite statements (types rewritten, see PostgresSchema.h); all or nothing.
    // The first script on a database without the prelude installs it too.
    void executeScript(std::string_view sqliteScript);

    // A statement of our own (transaction control, savepoints), without parameters.
    void command(const std::string& sql);

    void begin();
    // Throws when the server already abandoned the transaction; nothing was stored then.
    void commit();
    // Never throws for a connection that went away: the server rolled back already.
    void rollback();
    bool inTransaction() const { return m_inTransaction; }

    int64_t rowsAffected() const { return m_rowsAffected; }
    void setLockTimeout(int milliseconds);
    std::string databaseName() const;
    // "dbname en host:port", for windows and messages; never the password.
    std::string displayName() const;

    // No table or view yet (the catalogue view of the prelude aside).
    bool isEmpty();
    // Creates `schemaSql` (and the prelude) with its version inside the caller's transaction.
    void createSchema(std::string_view schemaSql, int version);
    // The version stored by createSchema; throws when the database holds other tables.
    int schemaVersion();

private:
    struct ResultDeleter {
        void operator()(pg_result* r) const;
    };
    using Result = std::unique_ptr<pg_result, ResultDeleter>;
    struct ConnDeleter {
        void operator()(pg_conn* c) const;
    };

    Result exec(const char* sql);
    Result execParams(const std::string& sql, const std::vector<Value>& params);
    Recordset toRecordset(pg_result* r, const std::vector<std::string>& what);
    void syncClock(const std::string& sql);
    void learnNames(std::string_view sql);
    [[noreturn]] void fail(pg_result* r) const;

    std::unique_ptr<pg_conn, ConnDeleter> m_conn;
    const Clock& m_clock;
    std::string m_clockSent;
    int64_t m_rowsAffected = 0;
    bool m_inTransaction = false;
    bool m_preludeReady = false; // the database has what postgresPrelude() creates
    // Lower-cased name → the spelling declared in a script: PostgreSQL answers folded names.
    std::unordered_map<std::string, std::string> m_spelling;
};

} // namespace tesmira::db

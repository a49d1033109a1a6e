#pragma once
// The one database connection: SQLite (a file) or PostgreSQL (a server, see DatabaseName.h)
// underneath, SQL Server's dialect on top.
// Every engine failure throws db::DbError (a tesmira::Error) carrying the engine's reason as a
// DbErrorCode, its message and the statement.
#include "db/Recordset.h"
#include "db/SqlFunctions.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace tesmira::db {

class Dialect;
class LiveRows;
class PostgresEngine;
class ResultMemo;
class StatementCache;

enum class OpenMode {
    WithSchema, // an empty file gets the schema; another schema version throws
    Bare,       // no schema check or creation: for tools and tests with tables of their own
};

class Connection {
public:
    // Opens (creating when missing) a database file; ":memory:" for a private one; or connects
    // to a PostgreSQL database named by a URL or connection string (never created here).
    // An empty database gets the current schema; one of another schema version throws.
    explicit Connection(const std::string& path, OpenMode mode = OpenMode::WithSchema);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs T-SQL: one statement, or several split at ';' (the last one's rows are answered).
    // A statement without rows answers an empty Recordset. A construct the dialect layer
    // cannot translate throws before anything runs.
    Recordset Execute(std::string_view sql);
    // The same with `?` markers outside strings, bound to `values` in order (one translation
    // and one prepared statement per text, whatever the values). A count that differs throws.
    Recordset Execute(std::string_view sql, const std::vector<Value>& values);
    // A plain read-only look-up (no getdate(), one statement). Inside a MemoScope the same
    // text with the same values is answered from memory until this connection writes a
    // table the statement reads, the schema changes, a transaction rolls back or another
    // connection commits; results of more than a few rows are not kept. Outside: Execute.
    Recordset ExecuteMemo(std::string_view sql, const std::vector<Value>& values = {});
    // Runs a script of native SQLite statements (schema, demo data); no dialect rewriting
    // (on PostgreSQL only the column types are rewritten, and the script is all or nothing).
    // The error names the statement that failed; earlier statements stay applied.
    void executeScript(std::string_view sql);

    // Write transactions take the write lock at once (BEGIN IMMEDIATE), waiting up to the busy
    // timeout for another writer. A second BeginTrans while one is open throws;
    // Commit/Rollback without one throw. RollbackTrans after SQLite already rolled back
    // (a failed disk write) just closes the transaction.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool inTransaction() const { return m_inTransaction; }
    // Nested scopes inside the open transaction (see db::Savepoint); each throws without one.
    void beginSavepoint();
    void releaseSavepoint();
    void rollbackSavepoint(); // undoes the innermost scope's writes and closes it

    // The database's name: the file name without folder and extension, or the server's database.
    std::string DefaultDatabase() const;
    // Which database this is, for a window or a message: the file name, or "db en host:port".
    std::string displayName() const;
    bool isServer() const { return m_pg != nullptr; }
    const std::string& path() const { return m_path; }
    // Rows changed by the last INSERT/UPDATE/DELETE.
    int64_t rowsAffected() const;
    sqlite3* handle() const { return m_db.get(); } // null on PostgreSQL

    // How long a statement waits for another connection's write lock (5 s by default);
    // PostgreSQL's lock_timeout.
    void setBusyTimeout(int milliseconds);
    // What getdate() answers; local system time by default.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // Creates the current schema, inside the open transaction if there is one. Throws when the
    // database already holds tables (PostgreSQL) or objects (SQLite).
    void createSchema();
    // Rewrites served from the dialect cache (statements differing only in literals).
    size_t cacheHits() const;

    // While one lives, ExecuteMemo remembers; the last one to go forgets everything.
    class MemoScope {
    public:
        explicit MemoScope(Connection& c);
        ~MemoScope();
        MemoScope(const MemoScope&) = delete;
        MemoScope& operator=(const MemoScope&) = delete;

    private:
        Connection& m_c;
    };

private:
    Recordset run(std::string_view sql, const std::vector<Value>& values, const std::vector<int>** reads);
    void open(OpenMode mode);
    void ensureSchema();
    void exec(const char* sql);
    void command(const std::string& sql); // a statement of our own, on either engine
    // Before this connection writes or ends a transaction, results still being read take their
    // remaining rows, so they answer what their statement saw when it ran.
    void settleReaders();

    struct CloseDatabase {
        void operator()(sqlite3* db) const;
    };

    std::string m_path;
    std::unique_ptr<sqlite3, CloseDatabase> m_db; // declared first: closes after the statements
    std::unique_ptr<Dialect> m_dialect;
    std::unique_ptr<StatementCache> m_statements;
    std::unique_ptr<ResultMemo> m_memo;
    Clock m_clock;
    std::unique_ptr<PostgresEngine> m_pg;
    std::vector<std::weak_ptr<LiveRows>> m_readers;
    bool m_inTransaction = false;
    int m_savepoints = 0;
};

// A transaction for host code: rolls back in its destructor unless committed; never throws there.
class Transaction {
public:
    explicit Transaction(Connection& c) : m_c(c) { m_c.BeginTrans(); }
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& m_c;
    bool m_done = false;
};

// Doubles embedded single quotes so a typed value is data between '…', never SQL.
std::string quoted(std::string_view value);
// Exact match for a std::string, so an unqualified call is not taken by std::quoted through ADL.
inline std::string quoted(const std::string& value) { return quoted(std::string_view(value)); }
inline std::string quoted(const char* value) { return quoted(std::string_view(value)); }

} // namespace tesmira::db

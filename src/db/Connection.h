#pragma once
// The one database connection: SQLite underneath, SQL Server's dialect on top.
// Every failure throws tesmira::Error carrying the engine's message and the statement.
#include "db/Recordset.h"

#include <memory>
#include <string>
#include <string_view>

struct sqlite3;

namespace tesmira::db {

class Dialect;

class Connection {
public:
    // Opens (creating when missing) a database file; ":memory:" for a private one.
    // An empty file gets the current schema; a file of another schema version throws.
    explicit Connection(const std::string& path);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs one T-SQL statement; a statement without rows answers an empty Recordset.
    Recordset Execute(std::string_view sql);
    // Runs a script of native SQLite statements (schema, demo data); no dialect rewriting.
    void executeScript(std::string_view sql);

    // Write transactions take the write lock at once (BEGIN IMMEDIATE).
    // A second BeginTrans while one is open throws; Commit/Rollback without one throw.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool inTransaction() const;

    std::string DefaultDatabase() const;
    const std::string& path() const { return m_path; }
    // Rows changed by the last INSERT/UPDATE/DELETE.
    int64_t rowsAffected() const;
    sqlite3* handle() const { return m_db; }

private:
    std::string m_path;
    sqlite3* m_db = nullptr;
    std::unique_ptr<Dialect> m_dialect;
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

} // namespace tesmira::db

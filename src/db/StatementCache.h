#pragma once
// Prepared statements by statement shape, finalized with the cache (before the connection closes).
#include <memory>
#include <string>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace tesmira::db {

class StatementCache {
public:
    StatementCache(sqlite3* db, size_t capacity) : m_db(db), m_capacity(capacity) {}

    // The statement for `key`, prepared from `sql` on first use; reset and unbound.
    // Throws Error with the engine's message when SQLite cannot prepare it.
    sqlite3_stmt* get(const std::string& key, const std::string& sql);
    void clear() { m_statements.clear(); }

private:
    struct Finalize {
        void operator()(sqlite3_stmt* s) const;
    };
    using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

    sqlite3* m_db;
    size_t m_capacity;
    std::unordered_map<std::string, Statement> m_statements;
};

} // namespace tesmira::db

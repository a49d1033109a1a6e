#pragma once
// Prepared statements by the dialect's shape number, finalized with the cache (before the
// connection closes). Each keeps what its results share: column names and which hold dates.
#include "db/Recordset.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tesmira::db {

class StatementCache {
public:
    // What a parameter of a statement holds. SQLite reads a text in place from `text`, which
    // travels with the statement; a parameter given the value it already holds is left alone.
    struct Bound {
        bool held = false; // `value` is what the parameter holds
        Value value;
        std::string text; // a text's bytes, as SQLite reads them
    };

    struct Prepared {
        sqlite3_stmt* stmt = nullptr;
        Recordset::Columns columns;
        std::vector<bool> dateColumn;
        // Tables the statement reads and writes (triggers included), by tableId; a statement
        // that changes the schema or anything else not named here has `writesUnknown`.
        std::vector<int> reads, writes;
        bool writesUnknown = false;
        bool storesValues = false; // an INSERT or UPDATE: texts are bound without trailing blanks
        mutable std::vector<Bound> bound; // by parameter

    };

    StatementCache(sqlite3* db, size_t capacity) : m_db(db), m_capacity(capacity) {}

    // The statement for `shape`, prepared from `sql` on first use; reset and unbound.
    // nullptr for a text of only comments or blanks.
    // Throws Error with the engine's message when SQLite cannot prepare it.
    const Prepared* get(uint64_t shape, const std::string& sql);
    // Column names read again, after the schema changed what a statement answers.
    const Prepared* refresh(uint64_t shape);
    void clear() { m_statements.clear(); }

    struct Finalize {
        void operator()(sqlite3_stmt* s) const;
    };
    using Owned = std::unique_ptr<sqlite3_stmt, Finalize>;
    // Hands the statement of `shape` and the texts bound to it over to a reader that keeps it
    // running (the next use of the shape prepares another).
    Owned take(uint64_t shape, std::vector<Bound>& bound);
    // Moves when another connection commits to the main database (PRAGMA data_version).
    int64_t othersVersion();
    // A small number per table name (any case), stable for the cache's life.
    int tableId(std::string_view name);

private:
    struct Entry {
        Owned owner;
        Prepared prepared;
    };

    static void describe(Prepared& p);

    sqlite3* m_db;
    size_t m_capacity;
    std::unordered_map<uint64_t, Entry> m_statements;
    std::unordered_map<std::string, int> m_tables;
    Owned m_dataVersion;
};

} // namespace tesmira::db

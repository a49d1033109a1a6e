#include "db/Connection.h"

#include "base/Clock.h"
#include "base/Error.h"
#include "base/Text.h"
#include "db/DatabaseName.h"
#include "db/DbError.h"
#include "db/Dialect.h"
#include "db/PostgresEngine.h"
#include "db/RecordsetRows.h"
#include "db/ResultMemo.h"
#include "db/Schema.h"
#include "db/StatementCache.h"

#include <sqlite3.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <exception>
#include <filesystem>
#include <optional>
#include <string_view>
#include <type_traits>
#include <utility>

namespace tesmira::db {

namespace {

// SQLite's allocation statistics take a global lock around every malloc and free; nothing here
// reads them. Set before any connection opens (SQLite accepts it only before it starts).
[[maybe_unused]] const bool kNoAllocationStatistics = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;

constexpr size_t kCacheCapacity = 256;
constexpr int kBusyTimeoutMs = 5000;

DbErrorCode codeOf(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DbErrorCode::Busy;
    case SQLITE_CONSTRAINT:
        return DbErrorCode::Constraint;
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
    case SQLITE_NOTADB:
        return DbErrorCode::ConnectionLost;
    default:
        return DbErrorCode::Other;
    }
}

DbError statementError(DbErrorCode code, std::string_view message, std::string_view sql)
{
    return DbError(code, std::string(message) + "\nSQL: " + std::string(sql));
}

// The engine's last failure on this handle.
DbError engineError(sqlite3* db, std::string_view sql)
{
    return statementError(codeOf(sqlite3_extended_errcode(db)), sqlite3_errmsg(db), sql);
}

// A column's value handed to `out` as null (monostate), integer, real, date or text; a date
// column's text that does not read as a date goes as the text stored.
template <class Out>
void readColumn(sqlite3_stmt* s, int i, bool dateColumn, Out&& out)
{
    // One call for the column, not one per question asked of it. The connection runs without a
    // mutex (multi-thread mode), where SQLite lets an unprotected value be read like any other.
    sqlite3_value* column = sqlite3_column_value(s, i);
    switch (sqlite3_value_type(column)) {
    case SQLITE_NULL:
        return out(std::monostate{});
    case SQLITE_INTEGER:
        return out(static_cast<int64_t>(sqlite3_value_int64(column)));
    case SQLITE_FLOAT:
        return out(sqlite3_value_double(column));
    default: {
        const auto* chars = reinterpret_cast<const char*>(sqlite3_value_text(column));
        if (!chars)
            throw engineError(sqlite3_db_handle(s), "");
        const std::string_view text(chars, static_cast<size_t>(sqlite3_value_bytes(column)));
        std::optional<Date> date;
        if (dateColumn) {
            try {
                date = Date::parseIso(text);
            } catch (const Error&) {
            }
        }
        return date ? out(*date) : out(text);
    }
    }
}

Value readValue(sqlite3_stmt* s, int i, bool dateColumn)
{
    Value v;
    readColumn(s, i, dateColumn, [&](auto x) {
        if constexpr (!std::is_same_v<decltype(x), std::monostate>)
            v = Value(x);
    });
    return v;
}

// The same binding: a double by its bits, so -0.0 replaces 0.0.
bool sameBinding(const Value& a, const Value& b)
{
    if (a.isDouble() && b.isDouble())
        return std::bit_cast<uint64_t>(a.toDouble()) == std::bit_cast<uint64_t>(b.toDouble());
    return a == b;
}

// SQLITE_OK, or the reason the value could not be bound (out of memory, a text too long).
// A value the parameter already holds is not bound again (bindings outlive sqlite3_reset).
int bind(sqlite3_stmt* s, int index, const Value& v, bool withoutTrailingBlanks, StatementCache::Bound& slot)
{
    if (slot.held && sameBinding(slot.value, v))
        return SQLITE_OK;
    slot.held = false;
    int rc = SQLITE_OK;
    if (v.isInt()) {
        rc = sqlite3_bind_int64(s, index, v.toInt());
    } else if (v.isDouble()) {
        rc = sqlite3_bind_double(s, index, v.toDouble());
    } else if (v.isNull()) {
        rc = sqlite3_bind_null(s, index);
    } else {
        slot.text = v.toString();
        size_t n = slot.text.size();
        while (withoutTrailingBlanks && n > 0 && slot.text[n - 1] == ' ')
            --n;
        rc = sqlite3_bind_text64(s, index, slot.text.data(), n, SQLITE_STATIC, SQLITE_UTF8);
    }
    if (rc == SQLITE_OK) {
        slot.value = v;
        slot.held = true;
    }
    return rc;
}

// Leaves a cached statement ready for its next use, whatever happened (unless a reader took it).
// Its bindings stay: every use binds every parameter again.
struct ResetOnExit {
    sqlite3_stmt* s;
    ~ResetOnExit()
    {
        if (s)
            sqlite3_reset(s);
    }
};

// Rows read at Execute before a result is read on demand instead.
constexpr size_t kRowsAtOnce = 256;

void readRow(sqlite3_stmt* s, const std::vector<bool>& dateColumn, std::vector<Value>& row)
{
    const size_t n = dateColumn.size();
    row.resize(n);
    for (size_t i = 0; i < n; ++i)
        row[i] = readValue(s, static_cast<int>(i), dateColumn[i]);
}

void packRow(sqlite3_stmt* s, const std::vector<bool>& dateColumn, RecordsetRows& rows)
{
    rows.beginRow(dateColumn.size());
    for (size_t i = 0; i < dateColumn.size(); ++i)
        readColumn(s, static_cast<int>(i), dateColumn[i], [&](auto x) {
            using T = decltype(x);
            if constexpr (std::is_same_v<T, std::monostate>)
                rows.addNull();
            else if constexpr (std::is_same_v<T, int64_t>)
                rows.addInt(x);
            else if constexpr (std::is_same_v<T, double>)
                rows.addDouble(x);
            else if constexpr (std::is_same_v<T, Date>)
                rows.addDate(x);
            else
                rows.addText(x);
        });
    rows.endRow();
}

} // namespace

// A read statement still giving rows to its Recordset; the statement is its own.
class LiveRows : public Recordset::RowSource {
public:
    LiveRows(StatementCache& cache, uint64_t shape, std::vector<bool> dateColumn, std::string sql)
        : m_stmt(cache.take(shape, m_bound)), m_dateColumn(std::move(dateColumn)), m_sql(std::move(sql))
    {
    }

    bool next(std::vector<Value>& row) override
    {
        if (m_settled.take(row))
            return true;
        if (m_failure)
            std::rethrow_exception(std::exchange(m_failure, nullptr));
        return m_stmt && step(row);
    }

    bool nextPacked(RecordsetRows& rows) override
    {
        if (!m_settled.empty() || m_failure)
            return RowSource::nextPacked(rows);
        return m_stmt && stepWith([&](sqlite3_stmt* s) { packRow(s, m_dateColumn, rows); });
    }

    // Every remaining row now; a failure waits for the reader that reaches it.
    void settle()
    {
        try {
            while (m_stmt && stepWith([&](sqlite3_stmt* s) { packRow(s, m_dateColumn, m_settled); })) {
            }
        } catch (...) {
            m_failure = std::current_exception();
        }
    }

private:
    bool step(std::vector<Value>& row)
    {
        return stepWith([&](sqlite3_stmt* s) { readRow(s, m_dateColumn, row); });
    }
    template <class Read>
    bool stepWith(Read&& read)
    {
        sqlite3_stmt* s = m_stmt.get();
        const int rc = sqlite3_step(s);
        if (rc == SQLITE_ROW) {
            read(s);
            return true;
        }
        // The statement ends here either way: it no longer holds the database's snapshot.
        std::optional<DbError> failure;
        if (rc != SQLITE_DONE)
            failure = engineError(sqlite3_db_handle(s), m_sql);
        m_stmt.reset();
        if (failure)
            throw *failure;
        return false;
    }

    std::vector<StatementCache::Bound> m_bound; // what the statement's text parameters point to
    StatementCache::Owned m_stmt;
    std::vector<bool> m_dateColumn;
    std::string m_sql;
    RecordsetRows m_settled;
    std::exception_ptr m_failure;
};

void Connection::CloseDatabase::operator()(sqlite3* db) const { sqlite3_close_v2(db); }

Connection::Connection(const std::string& path, OpenMode mode)
    : m_path(path), m_memo(std::make_unique<ResultMemo>()), m_clock(localNow)
{
    if (databaseKind(path) == DatabaseKind::PostgresServer) {
        m_dialect = std::make_unique<Dialect>(kCacheCapacity, Target::Postgres);
        m_pg = std::make_unique<PostgresEngine>(path, m_clock);
        if (mode == OpenMode::WithSchema)
            ensureSchema();
        return;
    }
    m_dialect = std::make_unique<Dialect>(kCacheCapacity);
    open(mode);
}

Connection::~Connection() = default;

void Connection::open(OpenMode mode)
{
    // A connection belongs to the one thread that runs the screen: SQLite's per-call mutex is pure cost.
    constexpr int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(m_path.c_str(), &raw, flags, nullptr);
    m_db.reset(raw); // SQLite hands out a handle even on failure: it must be closed too
    if (rc != SQLITE_OK)
        throw DbError(DbErrorCode::ConnectionLost, "No se pudo abrir la base de datos " + m_path + ": "
                                                       + (raw ? sqlite3_errmsg(raw) : "sin memoria"));
    m_statements = std::make_unique<StatementCache>(m_db.get(), kCacheCapacity);
    sqlite3_busy_timeout(m_db.get(), kBusyTimeoutMs);
    registerSqlFunctions(m_db.get(), &m_clock);
    exec("PRAGMA journal_mode=WAL");
    // SQL Server's catalogue of objects, as far as the screen asks it: a TEMP view, so the
    // file itself stays a plain SQLite database.
    exec("CREATE TEMP VIEW sysobjects AS SELECT name COLLATE NOCASE AS Name, "
         "CASE type WHEN 'table' THEN 'U' WHEN 'view' THEN 'V' WHEN 'trigger' THEN 'TR' ELSE 'X' END AS Type, "
         "CASE type WHEN 'table' THEN 'U' WHEN 'view' THEN 'V' WHEN 'trigger' THEN 'TR' ELSE 'X' END AS xtype "
         "FROM main.sqlite_master WHERE name NOT LIKE 'sqlite!_%' ESCAPE '!'");
    if (mode == OpenMode::WithSchema)
        ensureSchema();
}

void Connection::ensureSchema()
{
    const int wanted = schemaVersion();
    if (m_pg) {
        if (m_pg->isEmpty()) {
            Transaction t(*this);
            createSchema();
            t.commit();
            return;
        }
        const int found = m_pg->schemaVersion();
        if (found != wanted)
            throw Error("La base de datos " + displayName() + " tiene la versión de esquema " + std::to_string(found)
                        + " y este programa usa la versión " + std::to_string(wanted));
        return;
    }
    auto current = [this] { return Execute("PRAGMA user_version").Fields(size_t{0}).toInt(); };
    if (current() == wanted)
        return;
    BeginTrans();
    try {
        const int64_t found = current();
        const int64_t objects = Execute("SELECT count(*) FROM sqlite_master").Fields(size_t{0}).toInt();
        if (found == 0 && objects == 0) {
            executeScript(schemaSql());
            exec(("PRAGMA user_version = " + std::to_string(wanted)).c_str());
        } else if (found != wanted) {
            throw Error("La base de datos " + m_path + " tiene la versión de esquema " + std::to_string(found)
                        + " y este programa usa la versión " + std::to_string(wanted));
        }
        CommitTrans();
    } catch (...) {
        RollbackTrans();
        throw;
    }
}

void Connection::createSchema()
{
    if (m_pg) {
        if (!m_pg->isEmpty())
            throw Error("La base de datos " + displayName() + " ya tiene tablas; no se modifica");
        return m_pg->createSchema(schemaSql(), schemaVersion());
    }
    if (Execute("SELECT count(*) FROM sqlite_master").Fields(size_t{0}).toInt() != 0)
        throw Error("La base de datos " + displayName() + " ya tiene tablas; no se modifica");
    executeScript(schemaSql());
    exec(("PRAGMA user_version = " + std::to_string(schemaVersion())).c_str());
}

void Connection::exec(const char* sql)
{
    char* message = nullptr;
    if (const int rc = sqlite3_exec(m_db.get(), sql, nullptr, nullptr, &message); rc != SQLITE_OK) {
        const std::string text = message ? message : sqlite3_errmsg(m_db.get());
        sqlite3_free(message);
        throw statementError(codeOf(rc), text, sql);
    }
}

Recordset Connection::Execute(std::string_view sql) { return run(sql, {}, nullptr); }

Recordset Connection::Execute(std::string_view sql, const std::vector<Value>& values)
{
    return run(sql, values, nullptr);
}

Recordset Connection::ExecuteMemo(std::string_view sql, const std::vector<Value>& values)
{
    if (m_pg || !m_memo->active())
        return run(sql, values, nullptr);
    std::string key;
    for (const Value& v : values) {
        key += '\x1f';
        key += static_cast<char>('0' + (v.isNull() ? 0 : v.isText() ? 1 : v.isDate() ? 2 : 3));
        if (v.isDouble()) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.17g", v.toDouble());
            key += buf;
        } else {
            key += v.toString();
        }
    }
    // Inside our write transaction no other connection can commit.
    const int64_t version = m_inTransaction ? 0 : m_statements->othersVersion();
    if (const Recordset* seen = m_memo->find(sql, key, version))
        return *seen;
    const std::vector<int>* reads = nullptr;
    Recordset rs = run(sql, values, &reads);
    if (reads)
        m_memo->store(sql, std::move(key), rs, *reads, version);
    return rs;
}

Connection::MemoScope::MemoScope(Connection& c) : m_c(c) { m_c.m_memo->open(); }

Connection::MemoScope::~MemoScope() { m_c.m_memo->close(); }

Recordset Connection::run(std::string_view sql, const std::vector<Value>& values, const std::vector<int>** reads)
{
    const std::vector<Translation>* statements = nullptr;
    try {
        statements = &m_dialect->translate(sql);
    } catch (const Error& e) {
        throw statementError(DbErrorCode::Syntax, e.what(), sql);
    }
    size_t markers = 0;
    for (const Translation& t : *statements)
        markers += t.markers;
    if (markers != values.size()) {
        if (values.empty())
            throw statementError(DbErrorCode::Syntax,
                                 "No se puede traducir el marcador de parámetro '?' en la posición "
                                     + std::to_string(statements->front().firstMarker + 1),
                                 sql);
        throw statementError(DbErrorCode::Syntax,
                             "La sentencia tiene " + std::to_string(markers) + " marcadores '?' y recibió "
                                 + std::to_string(values.size()) + " valores",
                             sql);
    }
    Recordset result;
    if (m_pg) {
        size_t first = 0;
        std::vector<Value> bound;
        for (const Translation& t : *statements) {
            const std::vector<Value>* params = &t.params; // the cached translation is never copied
            if (!t.markerOfParam.empty()) {
                bound = t.params;
                for (size_t i = 0; i < bound.size(); ++i)
                    if (const int marker = t.markerOfParam[i]; marker >= 0)
                        bound[i] = values[first + static_cast<size_t>(marker)];
                params = &bound;
            }
            first += t.markers;
            try {
                result = m_pg->run(t, *params);
            } catch (const DbError& e) {
                throw statementError(e.code(), e.what(), sql);
            }
        }
        if (reads)
            *reads = nullptr; // the server's other sessions may change anything: nothing is remembered
        return result;
    }
    size_t firstMarker = 0;
    for (const Translation& t : *statements) {
        const StatementCache::Prepared* p = nullptr;
        try {
            p = m_statements->get(t.shape, t.sql);
        } catch (const Error& e) {
            // SQLite reports a busy schema as a failed prepare too
            const int rc = sqlite3_errcode(m_db.get());
            throw statementError(rc == SQLITE_BUSY || rc == SQLITE_LOCKED ? DbErrorCode::Busy : DbErrorCode::Syntax,
                                 e.what(), sql);
        }
        if (!p)
            continue;
        sqlite3_stmt* s = p->stmt;
        ResetOnExit reset{s};
        if (p->bound.size() < t.params.size()) {
            p->bound.resize(t.params.size()); // the texts moved: SQLite must be given them again
            for (StatementCache::Bound& b : p->bound)
                b.held = false;
        }
        for (size_t i = 0; i < t.params.size(); ++i) {
            const int marker = t.markerOfParam.empty() ? -1 : t.markerOfParam[i];
            const Value& v = marker < 0 ? t.params[i] : values[firstMarker + static_cast<size_t>(marker)];
            if (bind(s, static_cast<int>(i + 1), v, p->storesValues, p->bound[i]) != SQLITE_OK)
                throw engineError(m_db.get(), sql);
        }
        firstMarker += t.markers;

        const bool readOnly = sqlite3_stmt_readonly(s);
        if (!readOnly)
            settleReaders();
        int rc = sqlite3_step(s);
        // Read after the first step: a statement the schema changed under is prepared again there.
        const int n = sqlite3_column_count(s);
        if (static_cast<size_t>(n) != p->columns->size())
            p = m_statements->refresh(t.shape);
        std::vector<std::vector<Value>> rows;
        const bool last = &t == &statements->back();
        for (; rc == SQLITE_ROW; rc = sqlite3_step(s)) {
            if (rows.size() == kRowsAtOnce && readOnly && last) {
                // A large result: the reader takes the statement, and its rows as it moves on.
                Recordset::Columns columns = p->columns;
                std::vector<bool> dateColumn = p->dateColumn;
                std::vector<Value> row;
                readRow(s, dateColumn, row);
                rows.push_back(std::move(row));
                reset.s = nullptr;
                auto live = std::make_shared<LiveRows>(*m_statements, t.shape, std::move(dateColumn),
                                                       std::string(sql)); // `p` goes with the cache entry
                std::erase_if(m_readers, [](const std::weak_ptr<LiveRows>& r) { return r.expired(); });
                m_readers.push_back(live);
                if (reads)
                    *reads = nullptr;
                return Recordset(std::move(columns), std::move(rows), std::move(live));
            }
            std::vector<Value> row;
            row.reserve(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i)
                row.push_back(readValue(s, i, p->dateColumn[static_cast<size_t>(i)]));
            rows.push_back(std::move(row));
        }
        if (!readOnly) {
            if (p->writesUnknown)
                m_memo->clear();
            m_memo->wrote(p->writes);
        }
        if (rc != SQLITE_DONE)
            throw engineError(m_db.get(), sql);
        result = Recordset(p->columns, std::move(rows));
        // Only a single read-only statement's result may be remembered.
        if (reads)
            *reads = statements->size() == 1 && readOnly && !p->writesUnknown ? &p->reads : nullptr;
    }
    return result;
}

void Connection::settleReaders()
{
    for (const auto& reader : m_readers)
        if (auto live = reader.lock())
            live->settle();
    m_readers.clear();
}

void Connection::executeScript(std::string_view sql)
{
    settleReaders();
    m_memo->clear();
    if (m_pg)
        return m_pg->executeScript(sql);
    const char* tail = sql.data();
    const char* end = sql.data() + sql.size();
    while (tail < end) {
        sqlite3_stmt* raw = nullptr;
        const char* start = tail;
        if (sqlite3_prepare_v2(m_db.get(), start, static_cast<int>(end - start), &raw, &tail) != SQLITE_OK)
            throw engineError(m_db.get(), utf8Left(std::string_view(start, static_cast<size_t>(end - start)), 400));
        if (!raw)
            continue;
        int rc;
        while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        }
        sqlite3_finalize(raw);
        if (rc != SQLITE_DONE)
            throw statementError(codeOf(rc), sqlite3_errmsg(m_db.get()), std::string_view(start, static_cast<size_t>(tail - start)));
    }
}

void Connection::BeginTrans()
{
    if (m_inTransaction)
        throw Error("Ya hay una transacción abierta en esta conexión");
    settleReaders();
    if (m_pg)
        m_pg->begin();
    else
        exec("BEGIN IMMEDIATE");
    m_inTransaction = true;
    m_savepoints = 0;
}

void Connection::CommitTrans()
{
    if (!m_inTransaction)
        throw Error("CommitTrans sin una transacción abierta");
    settleReaders();
    if (m_pg) {
        m_pg->commit();
        m_inTransaction = m_pg->inTransaction();
        return;
    }
    if (sqlite3_get_autocommit(m_db.get())) {
        m_inTransaction = false;
        throw Error("La transacción ya había sido revertida por un error anterior; no se guardó nada");
    }
    exec("COMMIT"); // a failed COMMIT leaves the transaction open for RollbackTrans
    m_inTransaction = false;
    m_savepoints = 0;
}

void Connection::RollbackTrans()
{
    if (!m_inTransaction)
        throw Error("RollbackTrans sin una transacción abierta");
    settleReaders();
    m_inTransaction = false;
    m_savepoints = 0;
    m_memo->clear();
    if (m_pg)
        m_pg->rollback();
    else if (!sqlite3_get_autocommit(m_db.get()))
        exec("ROLLBACK");
}

namespace {
std::string savepointName(int depth) { return "tesmira_" + std::to_string(depth); }
} // namespace

void Connection::command(const std::string& sql)
{
    settleReaders();
    if (m_pg)
        m_pg->command(sql);
    else
        exec(sql.c_str());
}

void Connection::beginSavepoint()
{
    if (!m_inTransaction)
        throw Error("Un punto de retorno necesita una transacción abierta");
    command("SAVEPOINT " + savepointName(m_savepoints + 1));
    ++m_savepoints;
}

void Connection::releaseSavepoint()
{
    if (!m_inTransaction || m_savepoints == 0)
        throw Error("No hay un punto de retorno abierto");
    command("RELEASE SAVEPOINT " + savepointName(m_savepoints));
    --m_savepoints;
}

void Connection::rollbackSavepoint()
{
    if (!m_inTransaction || m_savepoints == 0)
        throw Error("No hay un punto de retorno abierto");
    const std::string name = savepointName(m_savepoints);
    --m_savepoints;
    m_memo->clear(); // what was read after the savepoint may have been undone
    command("ROLLBACK TO SAVEPOINT " + name + "; RELEASE SAVEPOINT " + name);
}

std::string Connection::DefaultDatabase() const
{
    return m_pg ? m_pg->databaseName() : std::filesystem::path(m_path).stem().string();
}

std::string Connection::displayName() const
{
    return m_pg ? m_pg->displayName() : std::filesystem::path(m_path).filename().string();
}

int64_t Connection::rowsAffected() const { return m_pg ? m_pg->rowsAffected() : sqlite3_changes64(m_db.get()); }

void Connection::setBusyTimeout(int milliseconds)
{
    if (m_pg)
        m_pg->setLockTimeout(milliseconds);
    else
        sqlite3_busy_timeout(m_db.get(), milliseconds);
}

size_t Connection::cacheHits() const { return m_dialect->cacheHits(); }

Transaction::~Transaction()
{
    if (m_done || !m_c.inTransaction())
        return;
    try {
        m_c.RollbackTrans();
    } catch (...) {
        // a destructor must not throw; the engine already abandoned the transaction
    }
}

void Transaction::commit()
{
    m_c.CommitTrans();
    m_done = true;
}

std::string quoted(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out;
}

} // namespace tesmira::db

#include "db/StatementCache.h"

#include "base/Error.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>

namespace tesmira::db {

namespace {

bool isDateType(const char* declared)
{
    if (!declared)
        return false;
    std::string t(declared);
    for (auto& c : t)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return t.find("DATE") != std::string::npos || t.find("TIME") != std::string::npos;
}

// SQL Server leaves a computed column without a name; SQLite names it by its (rewritten) text.
std::string columnName(const char* name)
{
    std::string n = name ? name : "";
    return n.find_first_of("(?'+-*/%|<>=") == std::string::npos ? n : std::string();
}

struct Access {
    StatementCache* cache;
    StatementCache::Prepared* prepared;
};

void note(std::vector<int>& list, int id)
{
    if (std::find(list.begin(), list.end(), id) == list.end())
        list.push_back(id);
}

// Called by SQLite while it prepares: every table the program will read or write.
int authorize(void* data, int action, const char* a, const char*, const char*, const char*)
{
    auto* access = static_cast<Access*>(data);
    auto& p = *access->prepared;
    switch (action) {
    case SQLITE_READ:
        if (a)
            note(p.reads, access->cache->tableId(a));
        break;
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
        if (a)
            note(p.writes, access->cache->tableId(a));
        break;
    case SQLITE_SELECT:
    case SQLITE_FUNCTION:
    case SQLITE_RECURSIVE:
    case SQLITE_TRANSACTION:
    case SQLITE_SAVEPOINT:
        break;
    default: // schema changes, pragmas, attach…
        p.writesUnknown = true;
    }
    return SQLITE_OK;
}

// Text is stored without trailing blanks. SQL Server's comparisons ignore them anyway, and the
// Bloom filter SQLite 3.40 puts in front of an automatic index hashes a text by its length, so
// a stored 'C02 ' would be missed by a join probing with 'C02' (keys compare under NOCASE,
// which keeps lengths equal otherwise).
bool storesValues(const std::string& sql)
{
    auto starts = [&](std::string_view word) {
        return sql.size() > word.size() && std::equal(word.begin(), word.end(), sql.begin(), [](char a, char b) {
                   return std::toupper(static_cast<unsigned char>(a)) == b;
               });
    };
    return starts("INSERT") || starts("UPDATE");
}

} // namespace

int StatementCache::tableId(std::string_view name)
{
    std::string key(name);
    for (auto& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return m_tables.emplace(std::move(key), static_cast<int>(m_tables.size())).first->second;
}

void StatementCache::Finalize::operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }

const StatementCache::Prepared* StatementCache::get(uint64_t shape, const std::string& sql)
{
    if (auto it = m_statements.find(shape); it != m_statements.end())
        return &it->second.prepared;
    Prepared prepared;
    Access access{this, &prepared};
    sqlite3_set_authorizer(m_db, authorize, &access);
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr);
    sqlite3_set_authorizer(m_db, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw Error(sqlite3_errmsg(m_db));
    if (!raw) // only comments or blanks
        return nullptr;
    prepared.stmt = raw;
    prepared.storesValues = storesValues(sql);
    prepared.bound.resize(static_cast<size_t>(sqlite3_bind_parameter_count(raw)));
    Entry entry{std::unique_ptr<sqlite3_stmt, Finalize>(raw), std::move(prepared)};
    describe(entry.prepared);
    // A full cache starts over: shapes are few, and re-preparing is cheap next to a query.
    if (m_statements.size() >= m_capacity)
        m_statements.clear();
    return &m_statements.emplace(shape, std::move(entry)).first->second.prepared;
}

StatementCache::Owned StatementCache::take(uint64_t shape, std::vector<Bound>& bound)
{
    auto it = m_statements.find(shape);
    if (it == m_statements.end())
        return nullptr;
    Owned s = std::move(it->second.owner);
    bound = std::move(it->second.prepared.bound); // the vector's buffer moves whole: texts stay put
    m_statements.erase(it);
    return s;
}

int64_t StatementCache::othersVersion()
{
    if (!m_dataVersion) {
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v2(m_db, "PRAGMA main.data_version", -1, &raw, nullptr) != SQLITE_OK)
            throw Error(sqlite3_errmsg(m_db));
        m_dataVersion.reset(raw);
    }
    sqlite3_stmt* s = m_dataVersion.get();
    const int64_t v = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : -1;
    sqlite3_reset(s);
    return v;
}

const StatementCache::Prepared* StatementCache::refresh(uint64_t shape)
{
    Prepared& p = m_statements.at(shape).prepared;
    describe(p);
    return &p;
}

void StatementCache::describe(Prepared& p)
{
    const int n = sqlite3_column_count(p.stmt);
    std::vector<std::string> columns;
    p.dateColumn.clear();
    for (int i = 0; i < n; ++i) {
        columns.push_back(columnName(sqlite3_column_name(p.stmt, i)));
        p.dateColumn.push_back(isDateType(sqlite3_column_decltype(p.stmt, i)));
    }
    p.columns = std::make_shared<const std::vector<std::string>>(std::move(columns));
}

} // namespace tesmira::db

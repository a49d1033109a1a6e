#include "db/StatementCache.h"

#include "base/Error.h"

#include <sqlite3.h>

namespace tesmira::db {

void StatementCache::Finalize::operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }

sqlite3_stmt* StatementCache::get(const std::string& key, const std::string& sql)
{
    if (auto it = m_statements.find(key); it != m_statements.end())
        return it->second.get();
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr) != SQLITE_OK)
        throw Error(sqlite3_errmsg(m_db));
    Statement stmt(raw);
    if (!stmt) // only comments or blanks
        return nullptr;
    // A full cache starts over: shapes are few, and re-preparing is cheap next to a query.
    if (m_statements.size() >= m_capacity)
        m_statements.clear();
    return m_statements.emplace(key, std::move(stmt)).first->second.get();
}

} // namespace tesmira::db

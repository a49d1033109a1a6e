#include "db/ResultMemo.h"

namespace tesmira::db {

const Recordset* ResultMemo::find(std::string_view sql, const std::string& values, int64_t dataVersion)
{
    if (dataVersion != 0 && dataVersion != m_dataVersion) {
        clear();
        m_dataVersion = dataVersion;
        return nullptr;
    }
    auto statement = m_statements.find(sql);
    if (statement == m_statements.end())
        return nullptr;
    auto& byValues = statement->second.byValues;
    auto it = byValues.find(values);
    if (it == byValues.end())
        return nullptr;
    for (int table : statement->second.reads) {
        if (static_cast<size_t>(table) < m_lastWrite.size() && m_lastWrite[static_cast<size_t>(table)] > it->second.stamp) {
            byValues.erase(it);
            --m_entries;
            return nullptr;
        }
    }
    return &it->second.rs;
}

void ResultMemo::store(std::string_view sql, std::string values, const Recordset& rs, const std::vector<int>& reads,
                       int64_t dataVersion)
{
    if (!active() || rs.streaming() || rs.rowCount() > kMaxRows)
        return;
    if (dataVersion != 0)
        m_dataVersion = dataVersion;
    if (m_entries >= kMaxEntries)
        clear();
    Recordset copy = rs;
    copy.MoveFirst();
    auto statement = m_statements.find(sql);
    if (statement == m_statements.end())
        statement = m_statements.emplace(std::string(sql), Statement{reads, {}}).first;
    auto [it, added] = statement->second.byValues.insert_or_assign(std::move(values), Entry{std::move(copy), ++m_clock});
    if (added)
        ++m_entries;
}

void ResultMemo::wrote(const std::vector<int>& tables)
{
    ++m_clock;
    for (int table : tables) {
        const auto t = static_cast<size_t>(table);
        if (t >= m_lastWrite.size())
            m_lastWrite.resize(t + 1, 0);
        m_lastWrite[t] = m_clock;
    }
}

} // namespace tesmira::db

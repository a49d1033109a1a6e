#include "db/ResultMemo.h"

namespace tesmira::db {

const Recordset* ResultMemo::find(const std::string& key, int64_t dataVersion)
{
    if (dataVersion != 0 && dataVersion != m_dataVersion) {
        clear();
        m_dataVersion = dataVersion;
        return nullptr;
    }
    auto it = m_entries.find(key);
    if (it == m_entries.end())
        return nullptr;
    for (int table : it->second.reads) {
        if (static_cast<size_t>(table) < m_lastWrite.size() && m_lastWrite[static_cast<size_t>(table)] > it->second.stamp) {
            m_entries.erase(it);
            return nullptr;
        }
    }
    return &it->second.rs;
}

void ResultMemo::store(const std::string& key, const Recordset& rs, const std::vector<int>& reads, int64_t dataVersion)
{
    if (!active() || rs.rowCount() > kMaxRows)
        return;
    if (dataVersion != 0)
        m_dataVersion = dataVersion;
    if (m_entries.size() >= kMaxEntries)
        clear();
    Recordset copy = rs;
    copy.MoveFirst();
    m_entries.insert_or_assign(key, Entry{std::move(copy), reads, ++m_clock});
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

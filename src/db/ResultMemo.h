#pragma once
// Results of repeated look-ups kept for the length of one piece of work (a load, a save).
// An entry is dropped as soon as this connection writes a table it read, the schema changes,
// a transaction rolls back, or another connection commits (the file's data version moves).
#include "db/Recordset.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace tesmira::db {

class ResultMemo {
public:
    bool active() const { return m_scopes > 0; }
    void open() { ++m_scopes; }
    void close()
    {
        if (m_scopes > 0 && --m_scopes == 0)
            clear();
    }

    // The remembered result of `key`, or nullptr. `dataVersion` counts other connections'
    // commits; 0 inside our own write transaction (no other connection can commit then).
    const Recordset* find(const std::string& key, int64_t dataVersion);
    void store(const std::string& key, const Recordset& rs, const std::vector<int>& reads, int64_t dataVersion);
    // A statement of ours wrote these tables.
    void wrote(const std::vector<int>& tables);
    void clear() { m_entries.clear(); }

    static constexpr size_t kMaxRows = 16;
    static constexpr size_t kMaxEntries = 50000;

private:
    struct Entry {
        Recordset rs;
        std::vector<int> reads;
        uint64_t stamp;
    };

    int m_scopes = 0;
    uint64_t m_clock = 0;
    int64_t m_dataVersion = 0;
    std::vector<uint64_t> m_lastWrite; // by table id
    std::unordered_map<std::string, Entry> m_entries;
};

} // namespace tesmira::db

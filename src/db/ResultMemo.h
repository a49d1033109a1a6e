#pragma once
// Results of repeated look-ups kept for the length of one piece of work (a load, a save).
// An entry is dropped as soon as this connection writes a table it read, the schema changes,
// a transaction rolls back, or another connection commits (the file's data version moves).
#include "base/AsciiWords.h"
#include "db/Recordset.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
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

    // The remembered result of `sql` run with the values `values` spells, or nullptr.
    // `dataVersion` counts other connections' commits; 0 inside our own write transaction
    // (no other connection can commit then).
    const Recordset* find(std::string_view sql, const std::string& values, int64_t dataVersion);
    void store(std::string_view sql, std::string values, const Recordset& rs, const std::vector<int>& reads,
               int64_t dataVersion);
    // A statement of ours wrote these tables.
    void wrote(const std::vector<int>& tables);
    void clear()
    {
        m_statements.clear();
        m_entries = 0;
    }

    static constexpr size_t kMaxRows = 16;
    static constexpr size_t kMaxEntries = 50000;

private:
    struct Entry {
        Recordset rs;
        uint64_t stamp;
    };
    // A look-up's text is kept once, however many values it is asked with.
    struct Statement {
        std::vector<int> reads;
        std::unordered_map<std::string, Entry> byValues;
    };
    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const noexcept { return ascii::hashBytes(s.data(), s.size()); }
    };

    int m_scopes = 0;
    uint64_t m_clock = 0;
    int64_t m_dataVersion = 0;
    size_t m_entries = 0;
    std::vector<uint64_t> m_lastWrite; // by table id
    std::unordered_map<std::string, Statement, TextHash, std::equal_to<>> m_statements;
};

} // namespace tesmira::db

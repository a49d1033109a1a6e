#pragma once
// Rows read ahead of their reader, kept in a few bytes a value instead of a Value each (40
// bytes plus the text): a 20,000-row result counted or set aside before a write would
// otherwise hold 30 MB. Taken in the order given; a block is freed once every row in it was.
#include "base/Value.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace tesmira::db {

// One value in that packed form, appended to `out`; read back from `p`, which moves past it.
// Every value comes back as it went in: kind, text byte for byte, the double's bits.
void packValue(std::string& out, const Value& v);
Value unpackValue(const char*& p);

class RecordsetRows {
public:
    void push(const std::vector<Value>& row);
    // One row value by value, as an engine reads it: beginRow, one add a column, endRow.
    void beginRow(size_t columns);
    void addNull();
    void addInt(int64_t v);
    void addDouble(double v);
    void addDate(const Date& v);
    void addText(std::string_view v);
    void endRow();

    // The oldest row not yet taken into `row` (its Values reused); false when none is left.
    bool take(std::vector<Value>& row);
    size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }

private:
    std::deque<std::string> m_blocks;
    size_t m_offset = 0; // into m_blocks.front()
    size_t m_count = 0;
    std::string m_row; // one row's bytes, reused
};

} // namespace tesmira::db

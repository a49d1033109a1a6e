#pragma once
// Forward reading of a statement's rows, ADO style. Rows are read in full at Execute,
// so MoveFirst can rewind and the connection is free for the next statement at once.
#include "base/Value.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tesmira::db {

class Recordset {
public:
    using Columns = std::shared_ptr<const std::vector<std::string>>;
    Recordset() = default;
    Recordset(std::vector<std::string> columns, std::vector<std::vector<Value>> rows);
    // Column names shared by every result of one prepared statement.
    Recordset(Columns columns, std::vector<std::vector<Value>> rows);

    // End of data: true on an empty result, after the last row, and after Close.
    bool Eof() const { return m_pos >= m_rows.size(); }
    void MoveFirst() { m_pos = 0; }
    void MoveNext()
    {
        if (m_pos < m_rows.size())
            ++m_pos;
    }
    // The current row's value of a column, by name in any case of letters.
    // Throws Error on an unknown name or at end of data. A computed column without an alias
    // is named "" as SQL Server leaves it.
    const Value& Fields(std::string_view name) const { return Fields(column(name)); }
    const Value& Fields(size_t index) const;
    // A column's position by name in any case, for loops that read it row after row.
    // Throws Error on an unknown name.
    size_t column(std::string_view name) const;
    bool hasField(std::string_view name) const;
    void Close();

    const std::vector<std::string>& columns() const;
    size_t rowCount() const { return m_rows.size(); }
    const std::vector<std::vector<Value>>& rows() const { return m_rows; }

private:
    // The first of two equal names wins, as in ADO.
    std::optional<size_t> find(std::string_view name) const;

    Columns m_columns;
    std::vector<std::vector<Value>> m_rows;
    size_t m_pos = 0;
};

// Header line of column names, then one line per row; null prints empty, numbers as VB
// prints them (12.5), dates as YYYY-MM-DD[ HH:MM:SS]; tab, CR, LF and \ are escaped.
std::string formatTsv(const Recordset& rs);

} // namespace tesmira::db

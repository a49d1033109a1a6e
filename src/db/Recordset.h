#pragma once
// Forward reading of a statement's rows, ADO style. A small result is read in full at Execute,
// so MoveFirst can rewind. A large one hands over its first rows and reads the rest as the
// reader moves on, letting go of the rows behind it: a 20,000-row query is never held whole
// while a loader works through it (MoveFirst then throws once rows were let go). Copies and
// rows() read the rest first; rowCount() reads it too but keeps it packed until it is reached.
#include "base/Value.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tesmira::db {

class RecordsetRows;

class Recordset {
public:
    using Columns = std::shared_ptr<const std::vector<std::string>>;
    Recordset() = default;
    Recordset(std::vector<std::string> columns, std::vector<std::vector<Value>> rows);
    // Column names shared by every result of one prepared statement.
    Recordset(Columns columns, std::vector<std::vector<Value>> rows);
    // The rows still to come of a statement that is read as its reader moves.
    class RowSource {
    public:
        virtual ~RowSource() = default;
        // The next row into `row` (its Values reused); false after the last. Throws the
        // engine's error.
        virtual bool next(std::vector<Value>& row) = 0;
        // The next row appended to `rows`, for a reader that counts the rest before it reads
        // on; false after the last. Throws as next does.
        virtual bool nextPacked(RecordsetRows& rows);
    };
    // `first` rows read, then those `more` gives.
    Recordset(Columns columns, std::vector<std::vector<Value>> first, std::shared_ptr<RowSource> more);
    Recordset(const Recordset& other);
    Recordset& operator=(const Recordset& other);
    Recordset(Recordset&&) noexcept = default;
    Recordset& operator=(Recordset&&) noexcept = default;
    ~Recordset() = default;

    // End of data: true on an empty result, after the last row, and after Close.
    bool Eof() const { return m_pos >= m_rows.size(); }
    // Throws Error when rows were already let go (a large result read past its first rows).
    void MoveFirst();
    // Throws the engine's error when reading the next row fails.
    void MoveNext()
    {
        if (m_pos < m_rows.size() && ++m_pos == m_rows.size() && m_more)
            readOn();
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
    // Throws the engine's error when reading the rest fails.
    size_t rowCount() const;
    // The rows not let go: every row unless a large result was read past its first ones.
    const std::vector<std::vector<Value>>& rows() const
    {
        readRest();
        return m_rows;
    }
    // Rows are still to be read from the engine.
    bool streaming() const { return m_more != nullptr; }

private:
    // The first of two equal names wins, as in ADO.
    std::optional<size_t> find(std::string_view name) const;
    void readOn();
    void readRest() const;

    Columns m_columns;
    mutable std::vector<std::vector<Value>> m_rows;
    size_t m_pos = 0;    // into m_rows
    size_t m_passed = 0; // rows let go before m_rows[0]
    mutable std::shared_ptr<RowSource> m_more;
};

// Header line of column names, then one line per row; null prints empty, numbers as VB
// prints them (12.5), dates as YYYY-MM-DD[ HH:MM:SS]; tab, CR, LF and \ are escaped.
std::string formatTsv(const Recordset& rs);

} // namespace tesmira::db

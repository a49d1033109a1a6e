#pragma once
// Small helpers the host services share for their own look-ups and writes.
#include "base/Text.h"
#include "base/Value.h"
#include "db/Connection.h"

#include <cassert>
#include <charconv>
#include <string>
#include <string_view>
#include <vector>

namespace tesmira::host::sql {

// A value as a T-SQL literal: between quotes, embedded quotes doubled.
inline std::string texto(std::string_view v) { return "'" + db::quoted(v) + "'"; }

// A number as a T-SQL literal: the shortest text that reads back to the same double.
inline std::string numero(double v)
{
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    assert(ec == std::errc() && "a double always fits in 64 characters");
    return std::string(buf, end);
}

// The first column of the first row; null when there is no row.
inline Value valor(db::Connection& c, const std::string& statement)
{
    db::Recordset rs = c.Execute(statement);
    return rs.Eof() ? Value() : rs.Fields(size_t{0});
}

// The same for a catalogue look-up with `?` values: remembered within the connection's memo
// scope (a load, a save) until a write touches what it reads.
inline Value consulta(db::Connection& c, std::string_view statement, const std::vector<Value>& values)
{
    db::Recordset rs = c.ExecuteMemo(statement, values);
    return rs.Eof() ? Value() : rs.Fields(size_t{0});
}

// The stored flags are 'SI' / 'NO'.
inline bool esSi(const Value& v)
{
    return sameKey(v.toString(), "SI");
}

// Runs the UPDATE and, when it touched no row, the INSERT: one row per key either way,
// inside whatever transaction the caller holds.
inline void actualizaOInserta(db::Connection& c, const std::string& update, const std::string& insert)
{
    c.Execute(update);
    if (c.rowsAffected() == 0)
        c.Execute(insert);
}

} // namespace tesmira::host::sql

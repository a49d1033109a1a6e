#pragma once
// Small helpers the host services share for their own look-ups and writes.
#include "base/Value.h"
#include "db/Connection.h"

#include <cctype>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tesmira::host::sql {

// A value as a T-SQL literal: between quotes, embedded quotes doubled.
inline std::string texto(std::string_view v) { return "'" + db::quoted(v) + "'"; }

// A number as a T-SQL literal, without losing digits.
inline std::string numero(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
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

// Keys compare as the database compares them: without regard to case or trailing blanks.
inline bool igual(std::string_view a, std::string_view b)
{
    while (!a.empty() && a.back() == ' ')
        a.remove_suffix(1);
    while (!b.empty() && b.back() == ' ')
        b.remove_suffix(1);
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The stored flags are 'SI' / 'NO'.
inline bool esSi(const Value& v)
{
    return igual(v.toString(), "SI");
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

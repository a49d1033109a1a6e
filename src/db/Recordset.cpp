#include "db/Recordset.h"

#include "base/Error.h"
#include "base/Text.h"

#include <cctype>

namespace tesmira::db {

Recordset::Recordset(std::vector<std::string> columns, std::vector<std::vector<Value>> rows)
    : m_columns(std::move(columns)), m_rows(std::move(rows))
{
    for (size_t i = 0; i < m_columns.size(); ++i)
        m_index.emplace(lowerAscii(m_columns[i]), i); // the first of two equal names wins, as in ADO
}

const Value& Recordset::Fields(std::string_view name) const
{
    auto it = m_index.find(lowerAscii(name));
    if (it == m_index.end())
        throw Error("El resultado no tiene la columna '" + std::string(name) + "'");
    return Fields(it->second);
}

const Value& Recordset::Fields(size_t index) const
{
    if (Eof())
        throw Error("No hay registro actual: el resultado está al final o vacío");
    if (index >= m_columns.size())
        throw Error("El resultado no tiene la columna " + std::to_string(index));
    return m_rows[m_pos][index];
}

bool Recordset::hasField(std::string_view name) const { return m_index.count(lowerAscii(name)) > 0; }

void Recordset::Close()
{
    m_rows.clear();
    m_pos = 0;
}

std::string formatTsv(const Recordset& rs)
{
    auto cell = [](const std::string& text) {
        std::string out;
        for (char c : text) {
            switch (c) {
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
            }
        }
        return out;
    };
    std::string out;
    for (size_t i = 0; i < rs.columns().size(); ++i)
        out += (i ? "\t" : "") + cell(rs.columns()[i]);
    out += '\n';
    for (const auto& row : rs.rows()) {
        for (size_t i = 0; i < row.size(); ++i)
            out += (i ? "\t" : "") + cell(row[i].toString());
        out += '\n';
    }
    return out;
}

} // namespace tesmira::db

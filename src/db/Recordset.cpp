#include "db/Recordset.h"

#include "base/Error.h"
#include "db/RecordsetRows.h"


namespace tesmira::db {

namespace {

// Column names are ASCII; a locale's tolower call per letter cost more than the scan itself.
char folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && folded(a[i]) != folded(b[i]))
            return false;
    return true;
}

const std::vector<std::string> kNoColumns;

// The rest of a result read now and packed, handed out as the reader reaches it.
class PackedRest final : public Recordset::RowSource {
public:
    explicit PackedRest(std::shared_ptr<Recordset::RowSource> source) : m_source(std::move(source)) {}

    // Throws the source's error; the rows read before it stay.
    void readAll()
    {
        while (m_source && m_source->nextPacked(m_rows)) {
        }
        m_source.reset();
    }
    size_t size() const { return m_rows.size(); }

    bool next(std::vector<Value>& row) override { return m_rows.take(row) || (m_source && m_source->next(row)); }

private:
    std::shared_ptr<Recordset::RowSource> m_source;
    RecordsetRows m_rows;
};

} // namespace

bool Recordset::RowSource::nextPacked(RecordsetRows& rows)
{
    std::vector<Value> row;
    if (!next(row))
        return false;
    rows.push(row);
    return true;
}

Recordset::Recordset(std::vector<std::string> columns, std::vector<std::vector<Value>> rows)
    : Recordset(std::make_shared<const std::vector<std::string>>(std::move(columns)), std::move(rows))
{
}

Recordset::Recordset(Columns columns, std::vector<std::vector<Value>> rows)
    : m_columns(std::move(columns)), m_rows(std::move(rows))
{
}

Recordset::Recordset(Columns columns, std::vector<std::vector<Value>> first, std::shared_ptr<RowSource> more)
    : m_columns(std::move(columns)), m_rows(std::move(first)), m_more(std::move(more))
{
    if (m_rows.empty() && m_more)
        readOn();
}

Recordset::Recordset(const Recordset& other)
{
    other.readRest();
    m_columns = other.m_columns;
    m_rows = other.m_rows;
    m_pos = other.m_pos;
    m_passed = other.m_passed;
}

Recordset& Recordset::operator=(const Recordset& other)
{
    if (this != &other)
        *this = Recordset(other);
    return *this;
}

void Recordset::MoveFirst()
{
    if (m_passed > 0)
        throw Error("El resultado ya dejó atrás sus primeros registros; no se puede volver al primero");
    m_pos = 0;
}

// Past the rows held: the next one takes the place of all of them.
void Recordset::readOn()
{
    if (m_pos < m_rows.size() || !m_more)
        return;
    m_passed += m_rows.size();
    m_rows.resize(1);
    m_pos = 0;
    bool more = false;
    try {
        more = m_more->next(m_rows[0]);
    } catch (...) {
        m_rows.clear();
        m_more.reset();
        throw;
    }
    if (!more) {
        m_rows.clear();
        m_more.reset();
    }
}

void Recordset::readRest() const
{
    while (m_more) {
        std::vector<Value> row;
        if (!m_more->next(row)) {
            m_more.reset();
            break;
        }
        m_rows.push_back(std::move(row));
    }
}

size_t Recordset::rowCount() const
{
    if (!m_more)
        return m_passed + m_rows.size();
    auto rest = std::dynamic_pointer_cast<PackedRest>(m_more);
    if (!rest) {
        rest = std::make_shared<PackedRest>(std::move(m_more));
        m_more = rest;
        rest->readAll();
    }
    return m_passed + m_rows.size() + rest->size();
}

const std::vector<std::string>& Recordset::columns() const { return m_columns ? *m_columns : kNoColumns; }

// A scan without allocation beats a hash of a lower-cased copy for the few columns a result has.
std::optional<size_t> Recordset::find(std::string_view name) const
{
    const auto& names = columns();
    for (size_t i = 0; i < names.size(); ++i)
        if (sameName(names[i], name))
            return i;
    return std::nullopt;
}

size_t Recordset::column(std::string_view name) const
{
    if (auto i = find(name))
        return *i;
    throw Error("El resultado no tiene la columna '" + std::string(name) + "'");
}

const Value& Recordset::Fields(size_t index) const
{
    if (Eof())
        throw Error("No hay registro actual: el resultado está al final o vacío");
    if (index >= columns().size())
        throw Error("El resultado no tiene la columna " + std::to_string(index));
    return m_rows[m_pos][index];
}

bool Recordset::hasField(std::string_view name) const { return find(name).has_value(); }

void Recordset::Close()
{
    m_rows.clear();
    m_more.reset();
    m_pos = 0;
    m_passed = 0;
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

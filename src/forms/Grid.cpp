#include "forms/Grid.h"

#include "base/Error.h"
#include "base/SetIfDifferent.h"
#include "base/Text.h"
#include "base/Vb.h"

#include <algorithm>
#include <cassert>

namespace tesmira::forms {

// ---- Column

Value Grid::Column::value() const
{
    if (m_grid->m_row < 0)
        return {};
    return m_grid->at(m_grid->m_row, m_index).value();
}

void Grid::Column::setValue(Value v) { m_grid->writeCurrent(m_index, m_grid->normalized(m_index, std::move(v))); }

std::string Grid::Column::text() const { return m_grid->render(m_index, value()); }

void Grid::Column::setText(std::string_view text) { m_grid->writeCurrent(m_index, m_grid->parsed(m_index, text)); }

const std::string& Grid::Column::name() const { return def().name; }
const std::string& Grid::Column::caption() const { return def().caption; }
bool Grid::Column::locked() const { return def().locked; }
bool Grid::Column::visible() const { return def().visible; }
const ColumnDef& Grid::Column::def() const { return m_grid->m_columns[static_cast<size_t>(m_index)]; }

void Grid::Column::setCaption(std::string caption)
{
    auto& s = m_grid->m_columns[static_cast<size_t>(m_index)];
    if (setIfDifferent(s.caption, std::move(caption)))
        m_grid->columnChanged(m_index);
}

void Grid::Column::setLocked(bool on)
{
    auto& s = m_grid->m_columns[static_cast<size_t>(m_index)];
    if (setIfDifferent(s.locked, on))
        m_grid->columnChanged(m_index);
}

void Grid::Column::setVisible(bool on)
{
    auto& s = m_grid->m_columns[static_cast<size_t>(m_index)];
    if (setIfDifferent(s.visible, on))
        m_grid->columnChanged(m_index);
}

// ---- Grid: columns

Grid::Grid(std::string name, std::vector<ColumnDef> columns)
    : Control(std::move(name))
{
    setColumns(std::move(columns));
}

void Grid::setColumns(std::vector<ColumnDef> columns)
{
    std::unordered_map<std::string, int, NoCaseHash, NoCaseEqual> byName;
    for (size_t i = 0; i < columns.size(); ++i)
        if (!byName.emplace(columns[i].name, static_cast<int>(i)).second)
            throw Error("La columna '" + columns[i].name + "' está repetida en '" + name() + "'");
    notify([](GridObserver& o) { o.aboutToReset(); });
    m_columns = std::move(columns);
    m_byName = std::move(byName);
    m_cells.clear();
    m_rows = 0;
    m_row = -1;
    m_col = -1;
    notify([](GridObserver& o) { o.reset(); });
}

const ColumnDef& Grid::columnDef(int index) const
{
    checkColumn(index);
    return m_columns[static_cast<size_t>(index)];
}

int Grid::columnIndex(std::string_view name) const
{
    int i = findColumn(name);
    if (i < 0)
        throw Error("La columna '" + std::string(name) + "' no existe en '" + this->name() + "'");
    return i;
}

int Grid::findColumn(std::string_view name) const noexcept
{
    auto it = m_byName.find(name);
    return it == m_byName.end() ? -1 : it->second;
}

Grid::Column Grid::col(int index)
{
    checkColumn(index);
    return Column(*this, index);
}

void Grid::setCaption(std::string caption)
{
    if (setIfDifferent(m_caption, std::move(caption)))
        changed();
}

void Grid::columnChanged(int column)
{
    notify([column](GridObserver& o) { o.columnChanged(column); });
}

// ---- Grid: rows and the current cell

void Grid::setRow(int index)
{
    checkRow(index);
    setCurrent(index, m_col);
}

void Grid::moveFirst() { setCurrent(m_rows > 0 ? 0 : -1, m_col); }

void Grid::moveNext()
{
    if (m_row + 1 < m_rows)
        setCurrent(m_row + 1, m_col);
}

void Grid::addRow()
{
    const int row = m_rows;
    notify([row](GridObserver& o) { o.rowsAboutToBeInserted(row, row); });
    m_cells.push_back(std::make_unique<GridCell[]>(m_columns.size()));
    ++m_rows;
    notify([row](GridObserver& o) { o.rowsInserted(row, row); });
    setCurrent(row, m_col);
}

void Grid::removeRow(int index)
{
    checkRow(index);
    notify([index](GridObserver& o) { o.rowsAboutToBeRemoved(index, index); });
    m_cells.erase(m_cells.begin() + index);
    --m_rows;
    notify([index](GridObserver& o) { o.rowsRemoved(index, index); });
    setCurrent(std::min(m_row, m_rows - 1), m_col);
}

void Grid::removeAll()
{
    notify([](GridObserver& o) { o.aboutToReset(); });
    m_cells.clear();
    m_rows = 0;
    m_row = -1;
    notify([](GridObserver& o) { o.reset(); });
}

void Grid::setCurrentColumn(int index)
{
    if (index != -1)
        checkColumn(index);
    setCurrent(m_row, index);
}

void Grid::setCurrent(int row, int column)
{
    if (row == m_row && column == m_col)
        return;
    m_row = row;
    m_col = column;
    notify([row, column](GridObserver& o) { o.currentCellChanged(row, column); });
}

// ---- Grid: cells

void Grid::checkColumn(int column) const
{
    if (column < 0 || column >= columnCount())
        throw Error("La columna " + std::to_string(column) + " no existe en '" + name() + "'");
}

void Grid::checkRow(int row) const
{
    if (row < 0 || row >= m_rows)
        throw Error("El renglón " + std::to_string(row + 1) + " no existe en '" + name() + "'");
}

Value Grid::cell(int row, int column) const
{
    checkRow(row);
    checkColumn(column);
    return at(row, column).value();
}

std::string Grid::cellText(int row, int column) const { return render(column, cell(row, column)); }

Value Grid::normalized(int column, Value v) const
{
    const auto type = m_columns[static_cast<size_t>(column)].type;
    if (!v.isText() || type == ColumnType::Text)
        return type == ColumnType::Boolean && v.isNumber() ? Value(v.toBool()) : v;
    const auto text = v.toString();
    if (trimmed(text).empty())
        return {};
    try {
        return parsed(column, text);
    } catch (const Error&) {
        return v;
    }
}

Value Grid::parsed(int column, std::string_view text) const
{
    const auto& def = m_columns[static_cast<size_t>(column)];
    if (def.type == ColumnType::Text)
        return Value(text);
    if (trimmed(text).empty())
        return {};
    try {
        switch (def.type) {
        case ColumnType::Number:
            return Value(vb::cdbl(text));
        case ColumnType::Date:
            return Value(vb::parseDate(text));
        case ColumnType::Boolean:
            return Value(Value(text).toBool());
        case ColumnType::Text:
            break;
        }
    } catch (const Error& e) {
        throw Error("Columna '" + def.name + "': " + e.what());
    }
    return Value(text);
}

std::string Grid::render(int column, const Value& v) const
{
    if (v.isNull())
        return {};
    const auto& def = m_columns[static_cast<size_t>(column)];
    if (v.isDate())
        return vb::formatDate(v.toDate());
    switch (def.type) {
    case ColumnType::Number:
        return v.isNumber() ? vb::formatNumber(v.toDouble(), def.numberFormat) : v.toString();
    case ColumnType::Boolean:
        return v.toBool() ? "-1" : "0";
    default:
        return v.toString();
    }
}

void Grid::writeCurrent(int column, Value v)
{
    if (m_row < 0)
        throw Error("'" + name() + "' no tiene renglón actual");
    GridCell& cell = at(m_row, column);
    if (m_modelObservers.empty()) {
        cell.set(std::move(v));
        return;
    }
    if (cell.value() == v)
        return;
    cell.set(std::move(v));
    const int row = m_row;
    notify([row, column](GridObserver& o) { o.cellChanged(row, column); });
}

// ---- Grid: the user

void Grid::userTypeCell(std::string_view text)
{
    requireInput();
    if (m_row < 0 && allowAddNew)
        userAddRow();
    if (m_row < 0 || m_col < 0)
        throw Error("'" + name() + "' no tiene una celda actual");
    const auto& def = m_columns[static_cast<size_t>(m_col)];
    if (def.locked)
        throw Error("La columna '" + def.name + "' está bloqueada");
    if (def.maxLength > 0)
        text = utf8Left(text, static_cast<size_t>(def.maxLength));
    writeCurrent(m_col, parsed(m_col, text));
    if (onChange)
        onChange();
}

bool Grid::userTypeKeys(std::string_view text)
{
    std::string kept;
    for (char c : text) {
        // Only single-byte characters are offered as key strokes; the rest of a UTF-8
        // character goes straight into the cell, as an input method would hand it over.
        int key = static_cast<unsigned char>(c);
        if (key < 0x80 && onKeyPress)
            onKeyPress(key);
        if (key != 0)
            kept += c;
    }
    if (kept.empty() && !text.empty())
        return false;
    userTypeCell(kept);
    return true;
}

bool Grid::userMoveTo(int row, int column)
{
    if (row == m_row && column == m_col)
        return true;
    if (m_row >= 0 && m_col >= 0 && onBeforeColChange) {
        int cancel = 0;
        onBeforeColChange(cancel);
        if (cancel != 0)
            return false;
    }
    setCurrent(row, column);
    return true;
}

bool Grid::userSetColumn(int index)
{
    if (!isReachable())
        throw Error("'" + name() + "' no está disponible");
    checkColumn(index);
    return userMoveTo(m_row, index);
}

bool Grid::userSetRow(int index)
{
    if (!isReachable())
        throw Error("'" + name() + "' no está disponible");
    checkRow(index);
    return userMoveTo(index, m_col);
}

void Grid::userButtonClick()
{
    if (!isReachable())
        throw Error("'" + name() + "' no está disponible");
    if (m_row < 0 || m_col < 0 || m_columns[static_cast<size_t>(m_col)].style != CellStyle::Button)
        throw Error("La celda actual de '" + name() + "' no tiene botón");
    if (onButtonClick)
        onButtonClick();
}

void Grid::userDeleteRow()
{
    requireInput();
    if (m_row < 0)
        throw Error("'" + name() + "' no tiene renglón actual");
    int displayFlag = 1;
    if (onBeforeDelete)
        onBeforeDelete(displayFlag);
    // The handler may have emptied the grid itself.
    if (m_row >= 0)
        removeRow(m_row);
}

void Grid::userAddRow()
{
    requireInput();
    if (!allowAddNew)
        throw Error("'" + name() + "' no admite renglones nuevos");
    addRow();
}

bool Grid::tabWithin()
{
    if (m_row < 0 || m_col < 0)
        return false;
    for (int r = m_row, c = m_col + 1; r < m_rows; ++r, c = 0)
        for (; c < columnCount(); ++c)
            if (m_columns[static_cast<size_t>(c)].visible) {
                userMoveTo(r, c);
                return true;
            }
    return false;
}

void Grid::addModelObserver(GridObserver* observer)
{
    assert(observer && "a null observer cannot be notified");
    m_modelObservers.push_back(observer);
}

void Grid::removeModelObserver(GridObserver* observer) { std::erase(m_modelObservers, observer); }

} // namespace tesmira::forms

#include "ui/GridModel.h"

#include "forms/Grid.h"

#include <QColor>
#include <QPalette>

namespace tesmira::ui {

class GridModel::Observer : public forms::GridObserver {
public:
    explicit Observer(GridModel& model) : m(model) {}

    void rowsAboutToBeInserted(int first, int last) override { m.beginInsertRows({}, first, last); }
    void rowsInserted(int, int) override { m.endInsertRows(); }
    void rowsAboutToBeRemoved(int first, int last) override { m.beginRemoveRows({}, first, last); }
    void rowsRemoved(int, int) override { m.endRemoveRows(); }
    void aboutToReset() override { m.beginResetModel(); }
    void reset() override
    {
        m.endResetModel();
        emit m.columnStateChanged(-1);
    }
    // The grid reports a cell only when its value really changed.
    void cellChanged(int row, int column) override
    {
        const QModelIndex at = m.index(row, column);
        emit m.dataChanged(at, at);
    }
    void columnChanged(int column) override
    {
        emit m.headerDataChanged(Qt::Horizontal, column, column);
        emit m.columnStateChanged(column);
    }
    void currentCellChanged(int row, int column) override { emit m.currentCellMoved(row, column); }

private:
    GridModel& m;
};

bool GridModel::inRange(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this && !index.parent().isValid() && index.row() < m_grid.rowCount() &&
           index.column() < m_grid.columnCount();
}

GridModel::GridModel(forms::Grid& grid, QObject* parent)
    : QAbstractTableModel(parent)
    , m_grid(grid)
    , m_observer(std::make_unique<Observer>(*this))
{
    m_grid.addModelObserver(m_observer.get());
}

GridModel::~GridModel() { m_grid.removeModelObserver(m_observer.get()); }

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_grid.rowCount(); }

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_grid.columnCount(); }

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!inRange(index))
        return {};
    const forms::ColumnDef& def = m_grid.columnDef(index.column());
    const bool checkBox = def.style == forms::CellStyle::CheckBox;
    switch (role) {
    case Qt::DisplayRole:
        return checkBox ? QVariant() : QString::fromStdString(m_grid.cellText(index.row(), index.column()));
    case Qt::EditRole: {
        // Numbers are edited as plain numbers, not through their display format.
        const Value& v = m_grid.cell(index.row(), index.column());
        if (def.type == forms::ColumnType::Number && v.isNumber())
            return QString::fromStdString(v.toString());
        return QString::fromStdString(m_grid.cellText(index.row(), index.column()));
    }
    case Qt::CheckStateRole:
        if (!checkBox)
            return {};
        return m_grid.cell(index.row(), index.column()).toBool() ? Qt::Checked : Qt::Unchecked;
    case Qt::ToolTipRole:
        if (cellButtonApplies(index.row(), index.column()))
            return QStringLiteral("%1 — F2 o Espacio abre la captura").arg(QString::fromStdString(def.caption));
        if (def.locked)
            return QStringLiteral("%1 — no se captura").arg(QString::fromStdString(def.caption));
        return {};
    case Qt::ForegroundRole:
        // What the clerk cannot type into looks it.
        if (def.locked)
            return QPalette().color(QPalette::Disabled, QPalette::Text);
        return {};
    case Qt::BackgroundRole:
        if (def.locked)
            return QPalette().color(QPalette::Window);
        return {};
    case Qt::TextAlignmentRole:
        if (def.type == forms::ColumnType::Number)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    if (orientation == Qt::Vertical)
        return section >= 0 && section < m_grid.rowCount() ? QVariant(section + 1) : QVariant();
    if (section < 0 || section >= m_grid.columnCount())
        return {};
    const forms::ColumnDef& def = m_grid.columnDef(section);
    if (role == Qt::ToolTipRole)
        return QStringLiteral("%1 (%2)").arg(QString::fromStdString(def.caption), QString::fromStdString(def.name));
    return QString::fromStdString(def.caption);
}

bool GridModel::cellButtonApplies(int row, int column) const
{
    if (row < 0 || row >= m_grid.rowCount() || column < 0 || column >= m_grid.columnCount())
        return false;
    const forms::ColumnDef& def = m_grid.columnDef(column);
    if (def.style != forms::CellStyle::Button)
        return false;
    auto text = [&](const char* name) {
        const int c = m_grid.findColumn(name);
        return c < 0 ? std::string() : m_grid.cellText(row, c);
    };
    if (m_grid.findColumn("Lt_Cve_Lote") == column)
        return text("TIPO_PRODUCTO") == "LOTE";
    if (m_grid.findColumn("Sr_Cve_Serie") == column)
        return text("TIPO_PRODUCTO") == "Serializado";
    if (m_grid.findColumn("VALIDA_DISPONIBILIDAD") == column)
        return text("Pr_Tipo_Producto") != "99";
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    if (!inRange(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const forms::ColumnDef& def = m_grid.columnDef(index.column());
    if (def.locked)
        return f;
    if (def.style == forms::CellStyle::CheckBox)
        return f | Qt::ItemIsUserCheckable;
    return f | Qt::ItemIsEditable;
}

bool GridModel::perform(const std::function<void()>& action) const
{
    if (m_runner)
        return m_runner(action);
    try {
        action();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!inRange(index))
        return false;
    const forms::ColumnDef& def = m_grid.columnDef(index.column());
    std::string text;
    if (role == Qt::CheckStateRole && def.style == forms::CellStyle::CheckBox)
        text = value.value<Qt::CheckState>() == Qt::Checked ? "-1" : "0";
    else if (role == Qt::EditRole)
        text = value.toString().toStdString();
    else
        return false;
    // An unchanged text is no typing: the grid's change notification must not fire for it.
    if (role == Qt::EditRole && text == data(index, Qt::EditRole).toString().toStdString())
        return true;
    const int row = index.row();
    const int column = index.column();
    bool moved = false;
    const bool ok = perform([&] {
        moved = userMoveTo(row, column);
        if (moved)
            m_grid.userTypeCell(text);
    });
    return ok && moved;
}

bool GridModel::userMoveTo(int row, int column)
{
    const bool rowChanges = row != m_grid.row();
    const bool columnChanges = column != m_grid.currentColumn();
    if (!rowChanges && !columnChanges)
        return true;
    // One before-column-change for the cell left, whichever way the user went.
    if (columnChanges) {
        if (!m_grid.userSetColumn(column))
            return false;
        if (rowChanges)
            m_grid.setRow(row);
        return true;
    }
    return m_grid.userSetRow(row);
}

bool GridModel::userButton(int row, int column)
{
    return perform([&] {
        if (userMoveTo(row, column))
            m_grid.userButtonClick();
    });
}

} // namespace tesmira::ui

#pragma once
// A thin table model over the form model's grid: cells are read on demand (no copy, no widget
// per cell), so 5,000 rows cost nothing beyond the grid itself. Edits go through the grid's
// user actions, so the screen's notifications fire with their cancel and by-reference key
// semantics; a refused edit leaves the cell as it was.
#include <QAbstractTableModel>

#include <functional>
#include <memory>

namespace tesmira::forms {
class Grid;
}

namespace tesmira::ui {

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Runs a user action under the front end's guard and answers whether it succeeded; the
    // default runs it and answers false when it threw.
    using Runner = std::function<bool(const std::function<void()>&)>;

    explicit GridModel(forms::Grid& grid, QObject* parent = nullptr);
    ~GridModel() override;

    forms::Grid& grid() const { return m_grid; }
    void setRunner(Runner runner) { m_runner = std::move(runner); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Whether the cell's button applies to its row: lots only on lot lines, serials only on
    // serial-numbered ones, availability not on services; descriptions everywhere.
    bool cellButtonApplies(int row, int column) const;
    // The user moves to a cell: leaving the current one raises the grid's before-column-change
    // once; false when a handler cancelled (the current cell stays).
    bool userMoveTo(int row, int column);
    // The cell button of a cell, made current first.
    bool userButton(int row, int column);

signals:
    // A column's caption, visibility or locking changed (-1: the whole column set).
    void columnStateChanged(int column);
    // The model's current cell moved (code or user); -1 when none.
    void currentCellMoved(int row, int column);

private:
    // Receives the grid's notifications (a member, so their names do not hide the model's signals).
    class Observer;

    bool perform(const std::function<void()>& action) const;
    // A valid index of this model inside the grid as it is now (quietly false otherwise).
    bool inRange(const QModelIndex& index) const;

    forms::Grid& m_grid;
    Runner m_runner;
    std::unique_ptr<Observer> m_observer;
};

} // namespace tesmira::ui

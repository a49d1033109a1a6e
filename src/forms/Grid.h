#pragma once
// The detail grid (ssDetalle): named, typed columns over rows of Values, addressed through
// the current row. Code writing a cell never raises onChange (a loader writing the product
// key must not empty its own row); only userTypeCell() does.
// The model observer (GridObserver) is for views; the std::function members are the
// screen's events. Each row is one block of compact cells (GridCell.h), so 20,000 rows x 66
// columns stay near 20 MB, and every access by name (hashed) or index is O(1).
#include "base/Text.h"
#include "forms/Control.h"
#include "forms/GridCell.h"

#include <memory>
#include <unordered_map>

namespace tesmira::forms {

enum class ColumnType { Text, Number, Date, Boolean };
enum class CellStyle { Text, Button, CheckBox };

struct ColumnDef {
    // Every member has an initializer so a short brace list ({"A", "a"}) compiles cleanly.
    std::string name{};
    std::string caption{};
    ColumnType type = ColumnType::Text;
    bool visible = true;
    bool locked = false;
    CellStyle style = CellStyle::Text;
    std::string numberFormat{};
    int maxLength = 0; // typing limit in characters; 0 = none
};

// Notifications for a view; "about to" calls come before the structure changes, so a
// Qt model can bracket them with begin/end calls.
class GridObserver {
public:
    virtual ~GridObserver() = default;
    virtual void rowsAboutToBeInserted(int /*first*/, int /*last*/) {}
    virtual void rowsInserted(int /*first*/, int /*last*/) {}
    virtual void rowsAboutToBeRemoved(int /*first*/, int /*last*/) {}
    virtual void rowsRemoved(int /*first*/, int /*last*/) {}
    virtual void aboutToReset() {}
    virtual void reset() {}
    virtual void cellChanged(int /*row*/, int /*column*/) {}
    virtual void columnChanged(int /*column*/) {}
    virtual void currentCellChanged(int /*row*/, int /*column*/) {}
};

class Grid : public Control {
public:
    // A column addressed at the current row. Cheap to copy; valid while the column set stands.
    class Column {
    public:
        // The current row's cell; null when there is no current row.
        Value value() const;
        // Stores the value typed for the column: text that reads as a number (date) in a
        // number (date) column is converted, empty text stores null; other values are kept
        // as given. Throws Error when there is no current row.
        void setValue(Value v);
        // The cell as shown: numbers through the column's number format, dates as
        // dd-mm-yyyy, booleans as "-1"/"0", null as "".
        std::string text() const;
        // Parses the text for the column's type ("1,234.5", "$12.50", "15%", dd-mm-yyyy);
        // text that does not parse throws Error and leaves the cell as it was.
        void setText(std::string_view text);

        const std::string& name() const;
        const std::string& caption() const;
        void setCaption(std::string caption);
        bool locked() const;
        void setLocked(bool on);
        bool visible() const;
        void setVisible(bool on);
        const ColumnDef& def() const;
        int index() const { return m_index; }

    private:
        friend class Grid;
        Column(Grid& grid, int index)
            : m_grid(&grid)
            , m_index(index)
        {
        }
        Grid* m_grid;
        int m_index;
    };

    explicit Grid(std::string name, std::vector<ColumnDef> columns = {});

    // Replaces the column set and empties the grid. Duplicate names (in any case) throw Error.
    void setColumns(std::vector<ColumnDef> columns);
    int columnCount() const { return static_cast<int>(m_columns.size()); }
    const ColumnDef& columnDef(int index) const;
    // Case-insensitive; unknown names throw Error.
    int columnIndex(std::string_view name) const;
    // -1 when there is no such column.
    int findColumn(std::string_view name) const noexcept;
    Column col(std::string_view name) { return Column(*this, columnIndex(name)); }
    Column col(int index);

    const std::string& caption() const { return m_caption; }
    void setCaption(std::string caption);

    int rowCount() const { return m_rows; }
    // Current row index, -1 when the grid is empty.
    int row() const { return m_row; }
    // Throws Error for a row that does not exist.
    void setRow(int index);
    void moveFirst();
    // Stays on the last row when there is no next one.
    void moveNext();
    // Appends an empty (all null) row and makes it current.
    void addRow();
    void removeRow(int index);
    void removeAll();
    bool allowAddNew = false;

    // Current column index, -1 for none. Setting it by code raises nothing.
    int currentColumn() const { return m_col; }
    void setCurrentColumn(int index);

    // Any cell, for views; out-of-range indexes throw Error.
    Value cell(int row, int column) const;
    std::string cellText(int row, int column) const;

    // Events (key events are the Control's, raised by userKey).
    std::function<void()> onChange;
    std::function<void(int& cancel)> onBeforeColChange;
    std::function<void()> onButtonClick;
    std::function<void(int& displayFlag)> onBeforeDelete;

    // The user types into the current cell (a new row is added first when there is none and
    // allowAddNew is on): the text is cut to the column's max length and stored as setText
    // does, then onChange fires. A locked column, no current cell or text that does not
    // parse throw Error and change nothing.
    void userTypeCell(std::string_view text);
    // The user types the text key by key: each character is offered to onKeyPress first and
    // those it clears never reach the cell; the rest is typed as userTypeCell does. Answers
    // false, leaving the cell untouched, when every character was cleared.
    bool userTypeKeys(std::string_view text);
    // The user moves to another cell. Leaving a current cell raises onBeforeColChange first;
    // a non-zero cancel keeps the cell and the call answers false.
    bool userSetColumn(int index);
    bool userSetColumn(std::string_view name) { return userSetColumn(columnIndex(name)); }
    bool userSetRow(int index);
    // The cell button of the current cell; throws Error when the column has none.
    void userButtonClick();
    // Raises onBeforeDelete (display flag starts at 1) and removes the current row.
    void userDeleteRow();
    // Adds a row the way the grid's new-row line does; throws Error unless allowAddNew.
    void userAddRow();

    void addModelObserver(GridObserver* observer);
    void removeModelObserver(GridObserver* observer);

    std::string shownText() const override { return m_caption; }

    // Tab inside the grid: the next visible cell of the row, then the next row; false
    // when the grid has no current cell or the last cell is current (the focus moves on).
    bool tabWithin();

private:
    GridCell& at(int row, int column) { return m_cells[static_cast<size_t>(row)][static_cast<size_t>(column)]; }
    const GridCell& at(int row, int column) const { return m_cells[static_cast<size_t>(row)][static_cast<size_t>(column)]; }
    void checkColumn(int column) const;
    void checkRow(int row) const;
    Value normalized(int column, Value v) const;
    Value parsed(int column, std::string_view text) const;
    std::string render(int column, const Value& v) const;
    void writeCurrent(int column, Value v);
    void setCurrent(int row, int column);
    bool userMoveTo(int row, int column);
    void columnChanged(int column);
    template <class F>
    void notify(F&& f)
    {
        for (auto* o : m_modelObservers)
            f(*o);
    }

    std::vector<ColumnDef> m_columns;
    std::unordered_map<std::string, int, NoCaseHash, NoCaseEqual> m_byName;
    // One block per row: adding or removing a row never moves the other rows' cells.
    std::vector<std::unique_ptr<GridCell[]>> m_cells;
    std::vector<GridObserver*> m_modelObservers;
    std::string m_caption;
    int m_rows = 0;
    int m_row = -1;
    int m_col = -1;
};

} // namespace tesmira::forms

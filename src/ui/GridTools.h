#pragma once
// The host's grid tools: the grid's visible columns as CSV, and a column chooser.
#include <QDialog>

#include <string>

class QListWidget;

namespace tesmira::forms {
class Grid;
}

namespace tesmira::ui {

// Visible columns in display order: the captions, then one line a row of cell texts as shown.
// Fields holding a comma, a quote or a line break are quoted, quotes doubled.
std::string gridCsv(const forms::Grid& grid);

// One checkable entry a column (caption and name); apply() shows the checked and hides the rest.
class ColumnChooser : public QDialog {
    Q_OBJECT
public:
    explicit ColumnChooser(forms::Grid& grid, QWidget* parent = nullptr);
    QListWidget* list() const { return m_list; }
    void apply();

private:
    forms::Grid& m_grid;
    QListWidget* m_list;
};

} // namespace tesmira::ui

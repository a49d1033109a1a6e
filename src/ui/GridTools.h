#pragma once
// The host's grid tools: the grid's visible columns as CSV (forms/GridCsv.h), and a column chooser.
#include <QDialog>

#include <string>

class QListWidget;

#include "forms/GridCsv.h"

namespace tesmira::ui {

using forms::gridCsv;

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

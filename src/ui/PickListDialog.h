#pragma once
// A pick list over rows the host produced: type to filter (any column, any case), Enter or a
// double click picks the current row. Pickers that also ask quantities or an account add their
// fields below the list.
#include "host/services/Dialogos.h"

#include <QDialog>

class QFormLayout;
class QLineEdit;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

namespace tesmira::ui {

class PickListDialog : public QDialog {
    Q_OBJECT
public:
    explicit PickListDialog(const host::Lista& lista, QWidget* parent = nullptr);

    // Index into lista.filas of the current row; -1 when none.
    int chosenRow() const;
    // Makes the row whose first cell is key current; false when there is none.
    bool selectKey(const QString& key);
    // Fields a picker adds under the list (quantities, account).
    QFormLayout* extras() const { return m_extras; }

    QLineEdit* filterEdit() const { return m_filter; }
    QTableView* table() const { return m_table; }
    int visibleRows() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void selectFirst();
    void pick();

    QLineEdit* m_filter;
    QTableView* m_table;
    QStandardItemModel* m_rows;
    QSortFilterProxyModel* m_proxy;
    QFormLayout* m_extras;
};

} // namespace tesmira::ui

#pragma once
// A pick list over rows the host produced: typing filters by the key column's beginning first
// (any case), then by the key anywhere, then by any column; Enter or a double click picks the
// current row. Pickers that also ask quantities or an account add their fields below the list
// (Tab reaches them) and may refuse a pick with a reason.
#include "host/services/Dialogos.h"

#include <QDialog>

#include <functional>

class QFormLayout;
class QLabel;
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
    // A field under the list (quantities, account); Tab goes from the list to the fields in
    // the order they were added, then to the buttons.
    void addField(const QString& label, QWidget* field);

    // A reason not to take the pick (shown under the fields, the dialog stays open); empty accepts.
    std::function<QString()> validate;
    // The heading a column name is shown with ("DESCRIPCION" -> "Descripción").
    static QString heading(const QString& column);

    QLineEdit* filterEdit() const { return m_filter; }
    QTableView* table() const { return m_table; }
    int visibleRows() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void selectFirst();
    void applyFilter(const QString& text);
    void pick();

    QLineEdit* m_filter;
    QTableView* m_table;
    QStandardItemModel* m_rows;
    QSortFilterProxyModel* m_proxy;
    QFormLayout* m_extras;
    QWidget* m_buttons = nullptr;
    QLabel* m_reason = nullptr;
    QWidget* m_lastField = nullptr;
};

} // namespace tesmira::ui

#include "ui/PickListDialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace tesmira::ui {

PickListDialog::PickListDialog(const host::Lista& lista, QWidget* parent)
    : QDialog(parent)
    , m_filter(new QLineEdit(this))
    , m_table(new QTableView(this))
    , m_rows(new QStandardItemModel(this))
    , m_proxy(new QSortFilterProxyModel(this))
    , m_extras(new QFormLayout)
{
    setWindowTitle(lista.titulo.empty() ? QStringLiteral("Búsqueda") : QString::fromStdString(lista.titulo));
    QStringList headers;
    for (const auto& c : lista.columnas)
        headers << QString::fromStdString(c);
    m_rows->setColumnCount(static_cast<int>(lista.columnas.size()));
    m_rows->setHorizontalHeaderLabels(headers);
    for (const auto& fila : lista.filas) {
        QList<QStandardItem*> items;
        for (const auto& cell : fila) {
            auto* item = new QStandardItem(QString::fromStdString(cell));
            item->setEditable(false);
            items << item;
        }
        m_rows->appendRow(items);
    }
    m_proxy->setSourceModel(m_rows);
    m_proxy->setFilterKeyColumn(-1);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);

    m_filter->setPlaceholderText(QStringLiteral("Escriba para filtrar"));
    m_filter->setClearButtonEnabled(true);
    m_table->setModel(m_proxy);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(-1, Qt::AscendingOrder);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->resizeColumnsToContents();
    m_table->installEventFilter(this);
    m_filter->installEventFilter(this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Aceptar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &PickListDialog::pick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_table, &QTableView::doubleClicked, this, &PickListDialog::pick);
    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_proxy->setFilterFixedString(text);
        selectFirst();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_filter);
    layout->addWidget(m_table, 1);
    layout->addLayout(m_extras);
    layout->addWidget(buttons);
    resize(640, 420);
    selectFirst();
    m_table->setFocus();
}

int PickListDialog::visibleRows() const { return m_proxy->rowCount(); }

int PickListDialog::chosenRow() const
{
    const QModelIndex current = m_table->currentIndex();
    return current.isValid() ? m_proxy->mapToSource(current).row() : -1;
}

bool PickListDialog::selectKey(const QString& key)
{
    for (int r = 0; r < m_proxy->rowCount(); ++r) {
        const QModelIndex at = m_proxy->index(r, 0);
        if (at.data().toString().trimmed().compare(key.trimmed(), Qt::CaseInsensitive) == 0) {
            m_table->setCurrentIndex(at);
            return true;
        }
    }
    return false;
}

void PickListDialog::selectFirst()
{
    if (m_proxy->rowCount() > 0)
        m_table->setCurrentIndex(m_proxy->index(0, 0));
}

void PickListDialog::pick()
{
    if (chosenRow() >= 0)
        accept();
}

bool PickListDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        pick();
        return true;
    }
    // Up and down in the filter walk the list; typing in the list goes to the filter.
    if (watched == m_filter && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
        QCoreApplication::sendEvent(m_table, event);
        return true;
    }
    const bool typing = !key->text().isEmpty() && (key->text().at(0).isPrint() || key->key() == Qt::Key_Backspace) &&
                        !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (watched == m_table && typing) {
        m_filter->setFocus();
        QCoreApplication::sendEvent(m_filter, event);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tesmira::ui

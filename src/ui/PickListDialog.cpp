#include "ui/PickListDialog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
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
        headers << heading(QString::fromStdString(c));
    m_rows->setColumnCount(static_cast<int>(lista.columnas.size()));
    m_rows->setHorizontalHeaderLabels(headers);
    for (const auto& fila : lista.filas) {
        QList<QStandardItem*> items;
        for (const auto& cell : fila) {
            auto* item = new QStandardItem(QString::fromStdString(cell));
            item->setEditable(false);
            // Figures line up on the right; keys stay text even when they are digits.
            bool number = false;
            QString(QString::fromStdString(cell)).remove(QChar(',')).remove(QChar('$')).toDouble(&number);
            if (number && !items.isEmpty())
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            items << item;
        }
        m_rows->appendRow(items);
    }
    m_proxy->setSourceModel(m_rows);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);

    m_filter->setPlaceholderText(QStringLiteral("Escriba para filtrar"));
    m_filter->setClearButtonEnabled(true);
    m_table->setModel(m_proxy);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the list for the fields below it.
    m_table->setTabKeyNavigation(false);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(-1, Qt::AscendingOrder);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->resizeColumnsToContents();
    m_table->installEventFilter(this);
    m_filter->installEventFilter(this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons = buttons;
    // Enter in a field under the list picks, as it does in the list.
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &PickListDialog::pick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_table, &QTableView::doubleClicked, this, &PickListDialog::pick);
    connect(m_filter, &QLineEdit::textChanged, this, &PickListDialog::applyFilter);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_filter);
    layout->addWidget(m_table, 1);
    layout->addLayout(m_extras);
    m_reason = new QLabel(this);
    m_reason->setObjectName(QStringLiteral("motivo"));
    m_reason->setStyleSheet(QStringLiteral("QLabel { color: #b00020; font-weight: bold; }"));
    m_reason->hide();
    layout->addWidget(m_reason);
    layout->addWidget(buttons);
    resize(640, 420);
    selectFirst();
    m_table->setFocus();
}

void PickListDialog::addField(const QString& label, QWidget* field)
{
    m_extras->addRow(label, field);
    QWidget::setTabOrder(m_lastField ? m_lastField : m_table, field);
    QWidget::setTabOrder(field, m_buttons);
    m_lastField = field;
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

QString PickListDialog::heading(const QString& column)
{
    static const std::pair<const char*, const char*> known[] = {
        {"CANTIDAD_1", "Cantidad"},   {"CANTIDAD_2", "Cantidad-2"}, {"DESCRIPCION", "Descripción"},
        {"ALMACEN", "Almacén"},       {"UBICACION", "Ubicación"},   {"METODO", "Método"},
        {"NUMERO", "Número"},         {"CODIGO", "Código"},         {"CREDITO", "Crédito"},
        {"RAZON", "Razón"},           {"CADUCIDAD", "Caducidad"},   {"EXISTENCIA", "Existencia"},
        {"CONDICION", "Condición"},   {"REMISION", "Remisión"},     {"DIRECCION", "Dirección"},
    };
    QStringList words = QString(column).replace(QChar('_'), QChar(' ')).simplified().split(QChar(' '));
    for (QString& word : words) {
        bool found = false;
        for (const auto& [name, shown] : known)
            if (word.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
                word = QString::fromUtf8(shown);
                found = true;
            }
        if (!found && !word.isEmpty())
            word = word.left(1).toUpper() + word.mid(1).toLower();
    }
    const QString joined = words.join(QChar(' '));
    for (const auto& [name, shown] : known)
        if (column.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return QString::fromUtf8(shown);
    return joined;
}

void PickListDialog::applyFilter(const QString& text)
{
    // The key column's beginning first: "0006" must not pick a row only because another
    // column holds it.
    const QString escaped = QRegularExpression::escape(text.trimmed());
    const QRegularExpression::PatternOption noCase = QRegularExpression::CaseInsensitiveOption;
    m_proxy->setFilterKeyColumn(0);
    m_proxy->setFilterRegularExpression(QRegularExpression(QStringLiteral("^") + escaped, noCase));
    if (m_proxy->rowCount() == 0)
        m_proxy->setFilterRegularExpression(QRegularExpression(escaped, noCase));
    if (m_proxy->rowCount() == 0) {
        m_proxy->setFilterKeyColumn(-1);
        m_proxy->setFilterRegularExpression(QRegularExpression(escaped, noCase));
    }
    selectFirst();
}

void PickListDialog::selectFirst()
{
    if (m_proxy->rowCount() > 0)
        m_table->setCurrentIndex(m_proxy->index(0, 0));
}

void PickListDialog::pick()
{
    if (chosenRow() < 0)
        return;
    if (validate) {
        const QString reason = validate();
        m_reason->setText(reason);
        m_reason->setVisible(!reason.isEmpty());
        if (!reason.isEmpty()) {
            QApplication::beep();
            return;
        }
    }
    accept();
}

bool PickListDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if ((watched == m_table || watched == m_filter) && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
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

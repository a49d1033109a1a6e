#include "ui/GridView.h"

#include "forms/Form.h"
#include "forms/Grid.h"
#include "ui/FormBinder.h"
#include "ui/GridModel.h"
#include "ui/Keys.h"

#include <algorithm>

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

namespace tesmira::ui {

namespace {

const forms::ColumnDef* columnOf(const QModelIndex& index)
{
    const auto* model = qobject_cast<const GridModel*>(index.model());
    if (!model || !index.isValid() || index.column() >= model->grid().columnCount())
        return nullptr;
    return &model->grid().columnDef(index.column());
}

bool hasButton(const QModelIndex& index)
{
    const auto* model = qobject_cast<const GridModel*>(index.model());
    return model && index.isValid() && model->cellButtonApplies(index.row(), index.column());
}

// Columns whose button only shows text: they open in a shown document too.
bool showsOnly(const forms::ColumnDef& def)
{
    const std::string& n = def.name;
    return n == "Pr_Descripcion" || n == "DESCAMP" || n == "DESAMPR";
}

int defaultWidth(const forms::ColumnDef& def)
{
    if (def.maxLength >= 50)
        return 240;
    if (def.type == forms::ColumnType::Number)
        return 110;
    if (def.type == forms::ColumnType::Date)
        return 90;
    return 80;
}

} // namespace

// ---- CellDelegate

QRect CellDelegate::buttonRect(const QRect& cell)
{
    const int side = qMin(cell.height() - 2, 22);
    return QRect(cell.right() - side, cell.top() + (cell.height() - side) / 2, side, side);
}

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!hasButton(index)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The value keeps its own room left of the button.
    const QRect buttonArea = buttonRect(option.rect);
    QStyleOptionViewItem text(option);
    text.rect.setRight(buttonArea.left() - 2);
    QStyledItemDelegate::paint(painter, text, index);
    QStyleOptionButton button;
    button.rect = buttonArea;
    button.text = QStringLiteral("…");
    button.state = QStyle::State_Enabled | QStyle::State_Raised;
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_PushButton, &button, painter, widget);
}

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        const forms::ColumnDef* def = columnOf(index);
        if (def && def->maxLength > 0)
            line->setMaxLength(def->maxLength);
        if (def && def->type == forms::ColumnType::Number)
            line->setAlignment(Qt::AlignRight);
    }
    return editor;
}

bool CellDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                               const QModelIndex& index)
{
    const bool press = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if ((press || release) && hasButton(index)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (buttonRect(option.rect).contains(mouse->position().toPoint())) {
            if (release)
                emit buttonClicked(index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

bool CellDelegate::eventFilter(QObject* editor, QEvent* event)
{
    // Esc belongs to the editor (it drops the typing), not to the window's shortcut.
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        event->accept();
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return QStyledItemDelegate::eventFilter(editor, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        auto* widget = qobject_cast<QWidget*>(editor);
        emit commitData(widget);
        emit closeEditor(widget, NoHint);
        emit keyAfterCommit(key->key(), key->modifiers(), key->text());
        return true;
    }
    case Qt::Key_Escape:
        return QStyledItemDelegate::eventFilter(editor, event);
    default:
        if (keyFilter && !keyFilter(key))
            return true;
        return QStyledItemDelegate::eventFilter(editor, event);
    }
}

// ---- GridView

GridView::GridView(GridModel& model, FormBinder* binder, QWidget* parent)
    : QTableView(parent)
    , m_model(model)
    , m_binder(binder)
{
    setModel(&model);
    auto* delegate = new CellDelegate(this);
    setItemDelegate(delegate);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    // Fixed row heights keep scrolling through thousands of rows cheap.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setHighlightSections(false);

    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    model.setRunner([this](const std::function<void()>& action) { return run(action); });
    connect(&model, &GridModel::columnStateChanged, this, &GridView::applyColumnState);
    connect(&model, &GridModel::currentCellMoved, this, [this] {
        if (m_followPending)
            return;
        m_followPending = true;
        QTimer::singleShot(0, this, &GridView::followModelCell);
    });
    connect(delegate, &CellDelegate::buttonClicked, this,
            [this](const QModelIndex& index) { openButton(index); });
    delegate->keyFilter = [this](QKeyEvent* event) { return sendKey(event); };
    connect(delegate, &CellDelegate::keyAfterCommit, this,
            [this](int key, Qt::KeyboardModifiers modifiers, const QString& text) {
                QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
                keyPressEvent(&event);
            });
    applyColumnState(-1);
    buildFrozen();
}

void GridView::buildFrozen()
{
    m_frozen = new QTableView(this);
    m_frozen->setObjectName(QStringLiteral("columnasFijas"));
    m_frozen->setModel(&m_model);
    m_frozen->setSelectionModel(selectionModel());
    m_frozen->setItemDelegate(itemDelegate());
    m_frozen->setFocusPolicy(Qt::NoFocus);
    m_frozen->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_frozen->verticalHeader()->hide();
    m_frozen->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_frozen->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    m_frozen->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setAlternatingRowColors(true);
    m_frozen->setStyleSheet(QStringLiteral("QTableView { border: none; border-right: 2px solid palette(mid); }"));
    viewport()->stackUnder(m_frozen);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, m_frozen->verticalScrollBar(), &QScrollBar::setValue);
    connect(m_frozen->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(), &QScrollBar::setValue);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeFrozen(); });
    // A click on a fixed cell is a click on the grid's own cell.
    connect(m_frozen, &QTableView::clicked, this, [this](const QModelIndex& index) {
        setFocus(Qt::MouseFocusReason);
        setCurrentIndex(index);
    });
    connect(m_frozen, &QTableView::doubleClicked, this, [this](const QModelIndex& index) { openButton(index); });
    connect(&m_model, &GridModel::columnStateChanged, this, [this] { placeFrozen(); });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] { placeFrozen(); });
    placeFrozen();
}

void GridView::placeFrozen()
{
    if (!m_frozen)
        return;
    const forms::Grid& grid = m_model.grid();
    const int description = grid.findColumn("Pr_Descripcion");
    int width = 0;
    for (int c = 0; c < grid.columnCount(); ++c) {
        const bool fixed = c <= description;
        m_frozen->setColumnHidden(c, !fixed || isColumnHidden(c));
        if (fixed && !isColumnHidden(c)) {
            m_frozen->setColumnWidth(c, columnWidth(c));
            width += columnWidth(c);
        }
    }
    // Nothing to keep in sight while the grid is not scrolled right.
    m_frozen->setVisible(description >= 0 && horizontalScrollBar()->value() > 0);
    m_frozen->setGeometry(verticalHeader()->width() + frameWidth(), frameWidth(), width,
                          viewport()->height() + horizontalHeader()->height());
    m_frozen->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
}

void GridView::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    placeFrozen();
}

void GridView::updateGeometries()
{
    QTableView::updateGeometries();
    placeFrozen();
}

bool GridView::run(const std::function<void()>& action)
{
    if (m_binder)
        return m_binder->run(action);
    try {
        action();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void GridView::applyColumnState(int column)
{
    const forms::Grid& grid = m_model.grid();
    const int first = column < 0 ? 0 : column;
    const int last = column < 0 ? grid.columnCount() - 1 : column;
    for (int c = first; c <= last && c < grid.columnCount(); ++c) {
        const forms::ColumnDef& def = grid.columnDef(c);
        setColumnHidden(c, !def.visible);
        // Wide enough for the heading; the whole name is in its tooltip.
        if (column < 0)
            setColumnWidth(c, std::max(defaultWidth(def),
                                       fontMetrics().horizontalAdvance(QString::fromStdString(def.caption)) + 24));
    }
}

void GridView::setFollowSuspended(bool on)
{
    m_followSuspended = on;
    if (!on && !m_followPending) {
        m_followPending = true;
        QTimer::singleShot(0, this, &GridView::followModelCell);
    }
}

void GridView::setReadOnly(bool on)
{
    m_readOnly = on;
    setEditTriggers(on ? QAbstractItemView::NoEditTriggers
                       : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
}

bool GridView::buttonApplies(const QModelIndex& index) { return hasButton(index); }

bool GridView::openButton(const QModelIndex& index)
{
    if (!hasButton(index))
        return false;
    if (m_readOnly && !showsOnly(m_model.grid().columnDef(index.column()))) {
        emit notice(QStringLiteral("Solo consulta: pulse Modificar (Ctrl+E) para cambiar la remisión"));
        return true;
    }
    m_model.userButton(index.row(), index.column());
    return true;
}

bool GridView::focusFirstEditableCell()
{
    if (m_model.rowCount() == 0 || !isEnabled())
        return false;
    const forms::Grid& grid = m_model.grid();
    int column = -1;
    for (int c = 0; c < grid.columnCount() && column < 0; ++c)
        if (!isColumnHidden(c) && !grid.columnDef(c).locked)
            column = c;
    if (column < 0)
        return false;
    bool moved = false;
    run([&] { moved = m_model.userMoveTo(0, column); });
    setFocus(Qt::OtherFocusReason);
    m_following = true;
    setCurrentIndex(m_model.index(grid.row() < 0 ? 0 : grid.row(), grid.currentColumn() < 0 ? column
                                                                                           : grid.currentColumn()));
    m_following = false;
    scrollTo(currentIndex());
    return moved;
}

void GridView::followModelCell()
{
    m_followPending = false;
    if (m_followSuspended)
        return;
    const forms::Grid& grid = m_model.grid();
    m_following = true;
    if (grid.row() < 0) {
        selectionModel()->clearCurrentIndex();
    } else {
        int column = grid.currentColumn();
        if (column < 0)
            column = currentIndex().isValid() ? currentIndex().column() : 0;
        const QModelIndex at = m_model.index(grid.row(), column);
        selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
        scrollTo(at);
    }
    m_following = false;
}

void GridView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (m_following || !current.isValid())
        return;
    const forms::Grid& grid = m_model.grid();
    if (current.row() == grid.row() && current.column() == grid.currentColumn())
        return;
    bool moved = false;
    run([&] { moved = m_model.userMoveTo(current.row(), current.column()); });
    // A handler kept the cell: the view goes back to it.
    if (!moved && !m_followPending) {
        m_followPending = true;
        QTimer::singleShot(0, this, &GridView::followModelCell);
    }
}

bool GridView::sendKey(QKeyEvent* event)
{
    forms::Grid& grid = m_model.grid();
    const QModelIndex at = currentIndex();
    bool through = true;
    run([&] {
        if (at.isValid() && !m_model.userMoveTo(at.row(), at.column())) {
            through = false;
            return;
        }
        through = deliverKey(m_binder ? &m_binder->form() : nullptr, grid, vbKeyCode(event->key()),
                             vbKeyAscii(*event), vbShift(event->modifiers()));
    });
    return through;
}

void GridView::sendTab()
{
    run([this] {
        if (m_binder)
            m_binder->form().sendTab();
        else
            m_model.grid().tabWithin();
    });
}

void GridView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        sendTab();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The grid's key press turns Enter into Tab.
        sendKey(event);
        return;
    case Qt::Key_Delete:
        if (m_readOnly) {
            emit notice(QStringLiteral("Solo consulta: pulse Modificar (Ctrl+E) para cambiar la remisión"));
            return;
        }
        break;
    case Qt::Key_F2:
    case Qt::Key_Space:
        if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier)) &&
            state() != EditingState && openButton(currentIndex()))
            return;
        break;
    default:
        break;
    }
    // A character on an editable cell opens the editor, which hands every key (this one too)
    // to the grid's key events.
    const bool typing = !event->text().isEmpty() && event->text().at(0).isPrint() &&
                        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (typing && state() != EditingState && m_readOnly) {
        emit notice(QStringLiteral("Solo consulta: pulse Modificar (Ctrl+E) para cambiar la remisión"));
        event->accept();
        return;
    }
    if (typing && state() != EditingState && (m_model.flags(currentIndex()) & Qt::ItemIsEditable)) {
        QTableView::keyPressEvent(event);
        return;
    }
    if (typing && currentIndex().isValid())
        emit notice(QStringLiteral("La columna «%1» no se captura")
                        .arg(m_model.headerData(currentIndex().column(), Qt::Horizontal).toString()));
    if (!sendKey(event)) {
        if (!typing)
            emit notice(QStringLiteral("La tecla no se acepta en esta celda"));
        event->accept();
        return;
    }
    // Function keys and Delete belong to the grid's handlers alone.
    if ((event->key() >= Qt::Key_F1 && event->key() <= Qt::Key_F24) || event->key() == Qt::Key_Delete) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void GridView::contextMenuEvent(QContextMenuEvent* event)
{
    const QModelIndex at = indexAt(event->pos());
    QMenu menu(this);
    QAction* remove = menu.addAction(QStringLiteral("Eliminar renglón"));
    remove->setEnabled(at.isValid() && !m_model.grid().locked());
    QAction* exportCsv = menu.addAction(QStringLiteral("Exportar…\tF10"));
    QAction* columns = menu.addAction(QStringLiteral("Columnas…\tMayús+F10"));
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == remove) {
        run([&] {
            if (m_model.userMoveTo(at.row(), at.column()))
                m_model.grid().userDeleteRow();
        });
    } else if (chosen == exportCsv || chosen == columns) {
        QKeyEvent f10(QEvent::KeyPress, Qt::Key_F10, chosen == columns ? Qt::ShiftModifier : Qt::NoModifier);
        sendKey(&f10);
    }
}

} // namespace tesmira::ui

#pragma once
// The detail grid's view: a QTableView over GridModel. The view's current cell follows the
// model's (the user's moves go through the grid's events first and are undone when a handler
// cancels), hidden columns stay hidden, cell buttons are drawn by the delegate, and keys reach
// the grid's key events (Enter as Tab, Delete, F2, F7, F10).
#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>

class QKeyEvent;

namespace tesmira::ui {

class FormBinder;
class GridModel;

// Draws the cell button ("...") where it applies, beside the value rather than over it, and
// the grid's plain line editors.
class CellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
    // Area of a cell's button inside the cell's rectangle.
    static QRect buttonRect(const QRect& cell);

    // Every key typed into an editor reaches the grid's key events first; false eats the key.
    std::function<bool(QKeyEvent* event)> keyFilter;

signals:
    void buttonClicked(const QModelIndex& index);
    // Enter or Tab in an editor: the text is committed and the key belongs to the grid.
    void keyAfterCommit(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text);

protected:
    bool eventFilter(QObject* editor, QEvent* event) override;
};

class GridView : public QTableView {
    Q_OBJECT
public:
    // binder may be null (tests): actions then run unguarded and keys reach the grid directly.
    GridView(GridModel& model, FormBinder* binder, QWidget* parent = nullptr);

    // While on (a save walking its rows) the view does not follow the model's current row;
    // switched off, it catches up once.
    void setFollowSuspended(bool on);
    // A shown document: no cell takes typing, and only the description buttons open.
    void setReadOnly(bool on);
    bool isReadOnly() const { return m_readOnly; }
    // The first row's first visible cell the clerk may type into; false when there is none.
    bool focusFirstEditableCell();
    // Whether a cell's button applies to its row (lots on lot lines, serials on serial lines).
    static bool buttonApplies(const QModelIndex& index);

signals:
    // A short explanation for the status bar (a swallowed key, a locked cell).
    void notice(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool run(const std::function<void()>& action);
    void applyColumnState(int column);
    void followModelCell();
    // Key down / press / up on the grid; false when a handler ate the key.
    bool sendKey(QKeyEvent* event);
    void sendTab();

    GridModel& m_model;
    FormBinder* m_binder;
    bool openButton(const QModelIndex& index);
    // The key and description stay in sight while the clerk scrolls right: a second view over
    // the same model shows them on top of the first columns.
    void buildFrozen();
    void placeFrozen();
    QTableView* m_frozen = nullptr;
    bool m_following = false;
    bool m_followPending = false;
    bool m_followSuspended = false;
    bool m_readOnly = false;
};

} // namespace tesmira::ui

#include "ui/FormBinder.h"

#include "base/VbConstants.h"
#include "forms/Controls.h"
#include "forms/Form.h"
#include "forms/SeriesField.h"
#include "forms/TextField.h"
#include "forms/Toolbar.h"
#include "ui/Keys.h"

#include <algorithm>

#include <QAbstractButton>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateTime>
#include <QDateEdit>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

namespace tesmira::ui {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Visibility is left alone on a widget without a parent yet: showing it would open it as a
// window of its own. A shown child of a hidden parent appears with its parent.
void followState(QWidget* widget, const forms::Control& control, QWidget* companion = nullptr, bool visibility = true)
{
    widget->setEnabled(control.enabled());
    if (visibility && widget->parentWidget())
        widget->setVisible(control.visible());
    if (companion && companion->parentWidget())
        companion->setVisible(control.visible());
}

// Standard icons of some styles do not change when disabled: a greyed, faded copy makes an
// unavailable command plain to see.
QIcon commandIcon(const QIcon& icon)
{
    QIcon out;
    for (const int side : {16, 24, 32}) {
        const QPixmap normal = icon.pixmap(side);
        out.addPixmap(normal, QIcon::Normal);
        QImage grey = normal.toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < grey.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
            for (int x = 0; x < grey.width(); ++x) {
                const int g = qGray(line[x]);
                line[x] = qRgba(g, g, g, qAlpha(line[x]) / 3);
            }
        }
        out.addPixmap(QPixmap::fromImage(grey), QIcon::Disabled);
    }
    return out;
}

} // namespace

void showFailure(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tesmira"), text, QMessageBox::Ok, parent);
    box.exec();
}

FormBinder::FormBinder(forms::Form& form, QWidget* window)
    : QObject(window)
    , m_form(form)
    , m_window(window)
{
}

FormBinder::~FormBinder()
{
    for (auto& [control, id] : m_observers)
        control->removeObserver(id);
}

void FormBinder::observe(forms::Control& control, std::function<void()> repaint)
{
    repaint();
    m_observers.emplace_back(&control, control.addObserver(std::move(repaint)));
}

void FormBinder::attach(QWidget* widget, forms::Control& control)
{
    m_controlOf[widget] = &control;
    m_widgetOf[&control] = widget;
    widget->installEventFilter(this);
    connect(widget, &QObject::destroyed, this, [this, widget, &control] {
        m_controlOf.erase(widget);
        if (auto it = m_widgetOf.find(&control); it != m_widgetOf.end() && it->second == widget)
            m_widgetOf.erase(it);
    });
}

void FormBinder::registerWidget(QWidget* widget, forms::Control& control) { attach(widget, control); }

QWidget* FormBinder::widgetOf(const forms::Control& control) const
{
    auto it = m_widgetOf.find(&control);
    return it == m_widgetOf.end() ? nullptr : it->second;
}

forms::Control* FormBinder::controlOf(const QObject* widget) const
{
    auto it = m_controlOf.find(widget);
    return it == m_controlOf.end() ? nullptr : it->second;
}

void FormBinder::bindText(QLineEdit* edit, forms::TextField& field, QLabel* caption)
{
    if (field.maxLength() > 0)
        edit->setMaxLength(field.maxLength());
    QPointer<QLineEdit> e(edit);
    QPointer<QLabel> c(caption);
    auto repaint = [this, e, c, &field] {
        if (!e)
            return;
        const QString text = qs(field.text());
        if (e->text() != text)
            e->setText(text);
        const bool readOnly = field.locked() || isViewOnly(field);
        if (e->isReadOnly() != readOnly) {
            e->setReadOnly(readOnly);
            // What the clerk cannot change is no Tab stop; a click still reaches it.
            e->setFocusPolicy(readOnly ? Qt::ClickFocus : Qt::StrongFocus);
            // Locked fields are painted apart; the style sheet reads the property anew.
            e->style()->unpolish(e);
            e->style()->polish(e);
        }
        followState(e, field, c);
    };
    observe(field, repaint);
    m_viewRepaints.push_back(repaint);
    attach(edit, field);
}

void FormBinder::bindCheckBox(QCheckBox* box, forms::CheckBox& check)
{
    if (!check.caption().empty())
        box->setText(qs(check.caption()));
    QPointer<QCheckBox> b(box);
    auto repaint = [this, b, &check] {
        if (!b)
            return;
        b->setTristate(check.value() == forms::CheckBox::Grayed);
        b->setCheckState(check.value() == forms::CheckBox::Checked  ? Qt::Checked
                         : check.value() == forms::CheckBox::Grayed ? Qt::PartiallyChecked
                                                                    : Qt::Unchecked);
        followState(b, check);
        if (isViewOnly(check))
            b->setEnabled(false);
    };
    observe(check, repaint);
    m_viewRepaints.push_back(repaint);
    // Qt toggled the box already; the model decides, and the observer paints what it decided.
    connect(box, &QCheckBox::clicked, this, [this, repaint, &check] {
        repaint();
        run([&check] { check.userClick(); }, true);
        repaint();
    });
    attach(box, check);
}

void FormBinder::bindDate(QDateEdit* edit, forms::DatePicker& picker, QLabel* caption)
{
    edit->setDisplayFormat(QStringLiteral("dd-MM-yyyy"));
    edit->setCalendarPopup(true);
    QPointer<QDateEdit> e(edit);
    QPointer<QLabel> c(caption);
    auto repaint = [this, e, c, &picker] {
        if (!e)
            return;
        const QSignalBlocker block(e);
        e->setDate(QDate(picker.value().year, picker.value().month, picker.value().day));
        followState(e, picker, c);
        e->setReadOnly(isViewOnly(picker));
        e->setFocusPolicy(e->isReadOnly() ? Qt::ClickFocus : Qt::StrongFocus);
    };
    observe(picker, repaint);
    m_viewRepaints.push_back(repaint);
    auto commit = [this, e, repaint, &picker] {
        if (!e)
            return;
        const QDate d = e->date();
        const Date& current = picker.value();
        if (d == QDate(current.year, current.month, current.day))
            return;
        run([&picker, d] { picker.userSetText(d.toString(Qt::ISODate).toStdString()); });
        repaint();
    };
    connect(edit, &QDateEdit::editingFinished, this, commit);
    // A day picked in the calendar is taken once the edit holds it.
    connect(edit->calendarWidget(), &QCalendarWidget::clicked, this, [commit] { QTimer::singleShot(0, commit); });
    attach(edit, picker);
}

void FormBinder::bindTabs(QTabWidget* tabs, forms::TabStrip& strip)
{
    QPointer<QTabWidget> t(tabs);
    auto repaint = [t, &strip] {
        if (!t)
            return;
        const QSignalBlocker block(t);
        for (int i = 0; i < t->count() && i < static_cast<int>(strip.tabs().size()); ++i)
            t->setTabText(i, qs(strip.tabs()[static_cast<size_t>(i)]));
        t->setCurrentIndex(strip.tab());
        t->setEnabled(strip.enabled());
    };
    observe(strip, repaint);
    connect(tabs, &QTabWidget::currentChanged, this, [this, repaint, &strip](int index) {
        if (index != strip.tab())
            run([&strip, index] { strip.userClick(index); }, true);
        repaint();
    });
    attach(tabs->tabBar(), strip);
}

void FormBinder::bindButton(QAbstractButton* button, forms::Button& model)
{
    if (!model.caption().empty())
        button->setText(qs(model.caption()));
    QPointer<QAbstractButton> b(button);
    observe(model, [b, &model] {
        if (b)
            followState(b, model);
    });
    connect(button, &QAbstractButton::clicked, this, [this, &model] { run([&model] { model.userClick(); }, true); });
    attach(button, model);
}

void FormBinder::bindFrame(QWidget* widget, forms::Frame& frame, bool followVisible)
{
    QPointer<QWidget> w(widget);
    observe(frame, [w, &frame, followVisible] {
        if (!w)
            return;
        if (auto* group = qobject_cast<QGroupBox*>(w.data()); group && !frame.caption().empty())
            group->setTitle(qs(frame.caption()));
        followState(w, frame, nullptr, followVisible);
    });
}

void FormBinder::bindLabel(QLabel* label, forms::Label& model)
{
    QPointer<QLabel> l(label);
    observe(model, [l, &model] {
        if (!l)
            return;
        if (!model.caption().empty())
            l->setText(qs(model.caption()));
        followState(l, model);
    });
}

void FormBinder::bindSeries(QLineEdit* edit, forms::SeriesField& series, QLabel* caption)
{
    QPointer<QLineEdit> e(edit);
    QPointer<QLabel> c(caption);
    observe(series, [e, c, &series] {
        if (!e)
            return;
        if (e->text() != qs(series.seriesCode()))
            e->setText(qs(series.seriesCode()));
        e->setToolTip(qs(series.folio()));
        followState(e, series, c);
    });
    connect(edit, &QLineEdit::editingFinished, this, [this, e, &series] {
        if (e && e->text() != qs(series.seriesCode()))
            run([&series, code = e->text().trimmed().toStdString()] { series.setSeriesCode(code); });
    });
    attach(edit, series);
}

void FormBinder::bindToolbar(QToolBar* bar, forms::Toolbar& toolbar,
                             std::function<void(forms::Command, const QDateTime& started)> afterCommand,
                             std::function<bool(forms::Command)> beforeCommand)
{
    using forms::Command;
    struct Entry {
        Command command;
        const char* text;
        QStyle::StandardPixmap icon;
        QList<QKeySequence> keys;
    };
    const Entry entries[] = {
        {Command::Nuevo, "Nuevo", QStyle::SP_FileIcon, {QKeySequence(Qt::CTRL | Qt::Key_N)}},
        {Command::Modificar, "Modificar", QStyle::SP_FileDialogDetailedView, {QKeySequence(Qt::CTRL | Qt::Key_E)}},
        {Command::Aceptar, "Aceptar", QStyle::SP_DialogSaveButton,
         {QKeySequence(Qt::Key_F12), QKeySequence(Qt::CTRL | Qt::Key_S)}},
        {Command::Eliminar, "Eliminar", QStyle::SP_TrashIcon, {QKeySequence(Qt::CTRL | Qt::Key_Delete)}},
        {Command::Limpiar, "Limpiar", QStyle::SP_DialogResetButton, {QKeySequence(Qt::Key_Escape)}},
        {Command::Imprimir, "Imprimir", QStyle::SP_FileDialogContentsView, {QKeySequence(Qt::CTRL | Qt::Key_P)}},
        {Command::Documento, "Documento", QStyle::SP_FileDialogInfoView, {QKeySequence(Qt::CTRL | Qt::Key_D)}},
        {Command::Salir, "Salir", QStyle::SP_DialogCloseButton, {QKeySequence(Qt::CTRL | Qt::Key_Q)}},
    };
    std::vector<std::pair<Command, QPointer<QAction>>> actions;
    for (const Entry& entry : entries) {
        const QString key = entry.keys.front().toString(QKeySequence::NativeText);
        auto* action = bar->addAction(commandIcon(bar->style()->standardIcon(entry.icon)),
                                      QStringLiteral("%1\n%2").arg(QString::fromUtf8(entry.text), key));
        action->setObjectName(QStringLiteral("cmd") + QString::fromUtf8(entry.text));
        action->setShortcuts(entry.keys);
        m_commandKeys.append(entry.keys);
        action->setToolTip(QStringLiteral("%1 (%2)").arg(QString::fromUtf8(entry.text), key));
        const Command command = entry.command;
        connect(action, &QAction::triggered, this, [this, &toolbar, command, afterCommand, beforeCommand] {
            if (!toolbar.enabled(command) || !run([this] { commitPending(); }))
                return;
            if (beforeCommand && !beforeCommand(command))
                return;
            run(
                [&] {
                    const QDateTime started = QDateTime::currentDateTime();
                    if (toolbar.press(command) && afterCommand)
                        afterCommand(command, started);
                },
                true);
        });
        actions.emplace_back(command, action);
    }
    observe(toolbar, [actions, &toolbar] {
        for (const auto& [command, action] : actions)
            if (action)
                action->setEnabled(toolbar.enabled(command));
    });
}

bool FormBinder::run(const std::function<void()>& action, bool commitFirst)
{
    bool ok = true;
    if (m_depth == 0)
        m_focusBefore = m_form.focused();
    ++m_depth;
    try {
        if (commitFirst && m_depth == 1)
            commitPending();
        action();
    } catch (const std::exception& e) {
        ok = false;
        showFailure(m_window, qs(e.what()));
    } catch (...) {
        ok = false;
        showFailure(m_window, QStringLiteral("Error inesperado"));
    }
    --m_depth;
    if (m_depth == 0 && afterAction)
        afterAction();
    // Only a focus the handlers moved is mirrored: the user's own moves are Qt's.
    if (m_depth == 0 && m_form.focused() != m_focusBefore)
        syncFocus();
    return ok;
}

void FormBinder::commitText(QLineEdit* edit, forms::TextField& field)
{
    const std::string typed = edit->text().toStdString();
    if (typed == field.text())
        return;
    try {
        field.userType(typed);
    } catch (...) {
        edit->setText(qs(field.text()));
        throw;
    }
    // A key the field refused leaves the field's own text.
    if (edit->text() != qs(field.text()))
        edit->setText(qs(field.text()));
}

void FormBinder::commitPending()
{
    auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (!edit)
        return;
    if (auto* field = dynamic_cast<forms::TextField*>(controlOf(edit)))
        commitText(edit, *field);
}

void FormBinder::syncFocus()
{
    forms::Control* focused = m_form.focused();
    if (!focused)
        return;
    QWidget* widget = widgetOf(*focused);
    if (!widget || widget->hasFocus() || !widget->isVisible() || !widget->isEnabled())
        return;
    widget->setFocus(Qt::OtherFocusReason);
}

void FormBinder::showLookup(QLineEdit* edit, forms::TextField& field)
{
    run([&] {
        commitText(edit, field);
        field.userLookup();
    });
}

bool FormBinder::isViewOnly(const forms::Control& control) const
{
    return m_viewOnly && std::find(m_exempt.begin(), m_exempt.end(), &control) == m_exempt.end();
}

void FormBinder::setViewOnly(bool on)
{
    if (on == m_viewOnly)
        return;
    m_viewOnly = on;
    for (const auto& repaint : m_viewRepaints)
        repaint();
}

void FormBinder::say(const QString& text) const
{
    if (notice)
        notice(text);
}

void FormBinder::moveOn(QWidget* from)
{
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(from, &tab);
}

bool FormBinder::keyPress(QWidget* widget, forms::Control& control, QKeyEvent* event)
{
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        return false;
    const int code = vbKeyCode(event->key());
    const int ascii = vbKeyAscii(*event);
    const int shift = vbShift(event->modifiers());
    auto* edit = qobject_cast<QLineEdit*>(widget);
    auto* field = dynamic_cast<forms::TextField*>(&control);
    if (edit && field && isViewOnly(*field)) {
        if (code == vb::vbKeyReturn) {
            moveOn(edit);
            return true;
        }
        if (ascii >= 32 || code == vb::vbKeyF2 || event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) {
            say(QStringLiteral("Solo consulta: pulse Modificar (Ctrl+E) para cambiar la remisión"));
            return true;
        }
        return false;
    }
    if (edit && field) {
        if (code == vb::vbKeyF2 && !field->lookupQuery.empty() && !field->locked()) {
            showLookup(edit, *field);
            return true;
        }
        if (code == vb::vbKeyReturn) {
            forms::Control* before = m_form.focused();
            QPointer<QLineEdit> guard(edit);
            bool entered = false;
            run([&] {
                commitText(edit, *field);
                entered = deliverKey(&m_form, control, code, ascii, shift);
                if (entered)
                    field->userEnter();
            });
            // Enter moves on like Tab unless a handler (or the shell) placed the focus. A message
            // the handler showed may leave the window inactive for a moment: the field it comes
            // back to is what counts, or the next Enter asks the same again.
            if (guard && m_form.focused() == before && guard->window()->focusWidget() == guard &&
                !(afterEnter && afterEnter(*field)))
                moveOn(guard);
            return true;
        }
        if (field->locked() && ascii >= 32)
            say(QStringLiteral("Este campo no se captura"));
    }
    bool through = true;
    run([&] { through = deliverKey(&m_form, control, code, ascii, shift); });
    if (!through && ascii >= 32)
        say(QStringLiteral("La tecla «%1» no se acepta en este campo").arg(event->text()));
    return !through;
}

bool FormBinder::eventFilter(QObject* watched, QEvent* event)
{
    forms::Control* control = controlOf(watched);
    if (!control)
        return false;
    switch (event->type()) {
    case QEvent::FocusIn:
        m_form.setFocus(*control);
        break;
    case QEvent::FocusOut: {
        // Another window taking the focus (a message box, a menu) is not the user leaving.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason)
            break;
        // As in VB, the control being entered already has the focus while the one left hears of it.
        if (forms::Control* next = controlOf(QApplication::focusWidget()))
            m_form.setFocus(*next);
        auto* edit = qobject_cast<QLineEdit*>(watched);
        auto* field = dynamic_cast<forms::TextField*>(control);
        if (edit && field && m_depth == 0)
            run([&] {
                commitText(edit, *field);
                field->userLeave();
            });
        break;
    }
    case QEvent::ShortcutOverride: {
        // A field's own editing keys (Ctrl+Delete deletes a word) must not hide a command.
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        if (std::find(m_commandKeys.begin(), m_commandKeys.end(), pressed) != m_commandKeys.end()) {
            event->ignore();
            return true;
        }
        break;
    }
    case QEvent::KeyPress:
        return keyPress(static_cast<QWidget*>(watched), *control, static_cast<QKeyEvent*>(event));
    default:
        break;
    }
    return false;
}

} // namespace tesmira::ui

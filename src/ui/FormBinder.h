#pragma once
// Binds Qt widgets to the controls of a headless form: the model's observers repaint the
// widgets, and what the user does goes back to the model's user actions, so the screen's
// handlers run exactly as they do under the scenario runner.
//
// A text field takes the typed text when the user confirms it (Return) or leaves it, not at
// every keystroke: code formats pad what is typed ("12" -> "0012") and would fight the cursor.
// Every user action runs through run(): a failure that escaped the screen's handlers is shown
// in a message box, never thrown into Qt's event loop, and the model's focus is then mirrored.
#include <QObject>
#include <QKeySequence>
#include <QList>
#include <QPointer>

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QDateTime;
class QKeyEvent;
class QDateEdit;
class QLabel;
class QLineEdit;
class QTabWidget;
class QToolBar;
class QWidget;

namespace tesmira::forms {
enum class Command;
class Button;
class CheckBox;
class Control;
class DatePicker;
class Form;
class Frame;
class Label;
class SeriesField;
class TabStrip;
class TextField;
class Toolbar;
} // namespace tesmira::forms

namespace tesmira::ui {

class FormBinder : public QObject {
    Q_OBJECT
public:
    // window parents the failure messages.
    FormBinder(forms::Form& form, QWidget* window);
    ~FormBinder() override;

    forms::Form& form() const { return m_form; }

    // caption (optional) hides and shows with the field.
    void bindText(QLineEdit* edit, forms::TextField& field, QLabel* caption = nullptr);
    void bindCheckBox(QCheckBox* box, forms::CheckBox& check);
    void bindDate(QDateEdit* edit, forms::DatePicker& picker, QLabel* caption = nullptr);
    void bindTabs(QTabWidget* tabs, forms::TabStrip& strip);
    void bindButton(QAbstractButton* button, forms::Button& model);
    // A frame's widget: enabled and visible follow the frame (Qt passes both on to children);
    // a QGroupBox also takes its caption. A tab page leaves its visibility to the tab widget.
    // Bind widgets once they have their parent: a parentless widget's visibility is not touched.
    void bindFrame(QWidget* widget, forms::Frame& frame, bool followVisible = true);
    void bindLabel(QLabel* label, forms::Label& model);
    void bindSeries(QLineEdit* edit, forms::SeriesField& series, QLabel* caption = nullptr);
    // One action a command, enabled as the toolbar's state allows; afterCommand runs once a
    // command's handler has run.
    // beforeCommand may refuse a command (the shell's questions before work is lost).
    void bindToolbar(QToolBar* bar, forms::Toolbar& toolbar,
                     std::function<void(forms::Command, const QDateTime& started)> afterCommand = {},
                     std::function<bool(forms::Command)> beforeCommand = {});
    // Calls repaint now and whenever the control changes, until the binder goes.
    void watch(forms::Control& control, std::function<void()> repaint) { observe(control, std::move(repaint)); }
    // Registers a widget that a bound view drives itself (the grid), for focus mirroring.
    void registerWidget(QWidget* widget, forms::Control& control);

    // Runs a user action under the last-resort guard and mirrors the focus afterwards;
    // false when it failed. commitFirst hands unconfirmed typing over first (commands,
    // clicks on widgets that do not take the focus).
    bool run(const std::function<void()>& action, bool commitFirst = false);
    // Hands the focused field's unconfirmed typing to the model (before a command runs).
    void commitPending();
    // Moves Qt's focus to the widget of the control the model says has it.
    void syncFocus();
    QWidget* widgetOf(const forms::Control& control) const;
    forms::Control* controlOf(const QObject* widget) const;

    // Outside capture the fields show the document only: text fields (but the exempt ones),
    // dates and check boxes take no input, and Enter just moves on.
    void setViewOnly(bool on);
    bool viewOnly() const { return m_viewOnly; }
    void exemptFromViewOnly(const forms::Control& control) { m_exempt.push_back(&control); }
    // After a field's Enter handler ran: true when the caller placed the focus itself;
    // otherwise Enter moves on like Tab.
    std::function<bool(forms::Control& field)> afterEnter;
    // A short explanation for the status bar (a swallowed key, a read-only field).
    std::function<void(const QString& text)> notice;
    // After every user action, once its handlers have all returned.
    std::function<void()> afterAction;


protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void observe(forms::Control& control, std::function<void()> repaint);
    void attach(QWidget* widget, forms::Control& control);
    void commitText(QLineEdit* edit, forms::TextField& field);
    void showLookup(QLineEdit* edit, forms::TextField& field);
    bool keyPress(QWidget* widget, forms::Control& control, QKeyEvent* event);
    // Enter as Tab: the widget's own Tab, so Qt's focus chain decides where it goes.
    static void moveOn(QWidget* from);

    forms::Form& m_form;
    QPointer<QWidget> m_window;
    std::unordered_map<const QObject*, forms::Control*> m_controlOf;
    std::unordered_map<const forms::Control*, QWidget*> m_widgetOf;
    std::vector<std::pair<forms::Control*, int>> m_observers;
    int m_depth = 0;
    forms::Control* m_focusBefore = nullptr;
    bool isViewOnly(const forms::Control& control) const;
    void say(const QString& text) const;
    bool m_viewOnly = false;
    QList<QKeySequence> m_commandKeys;
    std::vector<const forms::Control*> m_exempt;
    std::vector<std::function<void()>> m_viewRepaints;
};

// Shows a failure that reached the UI; the last resort when a handler let one escape.
void showFailure(QWidget* parent, const QString& text);

} // namespace tesmira::ui

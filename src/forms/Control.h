#pragma once
// Base of every control of the headless form model.
// Two kinds of callbacks live here and must not be confused:
//  - view observers (addObserver): fired after any property change so a view repaints;
//    they never run screen logic;
//  - the VB events (onKeyDown, and those of the subclasses): the screen's handlers.
// Methods named user...() are what the user does; they refuse (throw Error, change
// nothing) when the control cannot take input. Everything else is what code does.
#include "base/Value.h"

#include <functional>
#include <string>
#include <vector>

namespace tesmira::forms {

class Form;

class Control {
public:
    explicit Control(std::string name);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return m_name; }

    bool enabled() const { return m_enabled; }
    void setEnabled(bool on);
    bool visible() const { return m_visible; }
    void setVisible(bool on);
    // Locked: shown and focusable, but the user cannot change the content.
    bool locked() const { return m_locked; }
    void setLocked(bool on);
    const std::string& tag() const { return m_tag; }
    void setTag(std::string tag);

    // The frame (or other control) this one sits in: disabling or hiding it disables or
    // hides its contents for the user. Not owned; must outlive this control.
    Control* container() const { return m_container; }
    void setContainer(Control* container);
    // Enabled and visible, and so is every container up the chain.
    bool isReachable() const;
    // Whether Tab stops here (labels and frames never take the focus).
    virtual bool acceptsFocus() const { return true; }

    // Focus is the form's: false (and nothing happens) when the control is not on a form
    // or cannot take the focus now, as a disabled field cannot.
    bool setFocus();
    bool hasFocus() const;

    // Key events as VB raises them; userKey() raises down, press and up in that order.
    // A handler that sets the key to 0 in key down eats it: key press is not raised;
    // key up is always raised with the original key code, as VB does.
    std::function<void(int& key, int shift)> onKeyDown;
    std::function<void(int& key)> onKeyPress;
    std::function<void(int key, int shift)> onKeyUp;
    virtual void userKey(int key, int shift);

    // What a script's print shows: the content as text and as typed value.
    virtual std::string shownText() const { return {}; }
    virtual Value shownValue() const { return Value(shownText()); }

    // View observers; the id removes the observer again.
    int addObserver(std::function<void()> observer);
    void removeObserver(int id);

protected:
    // Call after changing a property; fires the view observers.
    void changed();
    // Throws Error naming the control when the user cannot change its content.
    void requireInput() const;

private:
    friend class Form;
    std::string m_name;
    bool m_enabled = true;
    bool m_visible = true;
    bool m_locked = false;
    std::string m_tag;
    Control* m_container = nullptr;
    Form* m_form = nullptr;
    std::vector<std::pair<int, std::function<void()>>> m_observers;
    int m_nextObserver = 1;
};

} // namespace tesmira::forms

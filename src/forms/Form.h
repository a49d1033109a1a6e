#pragma once
// A form owns its controls, in tab order (the order they were added), finds them by name
// without regard to case, and knows which one has the focus. Focus moves raise no events:
// a text field's Enter and leave are raised only by userEnter()/userLeave().
#include "base/Error.h"
#include "base/Text.h"
#include "forms/Control.h"

#include <memory>
#include <unordered_map>

namespace tesmira::forms {

class Form {
public:
    explicit Form(std::string name = {});
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const { return m_name; }
    const std::string& caption() const { return m_caption; }
    void setCaption(std::string caption) { m_caption = std::move(caption); }

    // Creates a control at the end of the tab order; the reference lives as long as the
    // form. A name already used (in any case) throws Error.
    template <class T, class... Args>
    T& add(std::string name, Args&&... args)
    {
        auto control = std::make_unique<T>(std::move(name), std::forward<Args>(args)...);
        T& ref = *control;
        adopt(std::move(control));
        return ref;
    }

    // nullptr when there is no such control.
    Control* find(std::string_view name) const;
    // Throws Error when there is no such control.
    Control& control(std::string_view name) const;
    // Throws Error when there is no such control or it is of another kind.
    template <class T>
    T& get(std::string_view name) const
    {
        auto* typed = dynamic_cast<T*>(&control(name));
        if (!typed)
            throw Error("El control '" + std::string(name) + "' no es del tipo esperado");
        return *typed;
    }
    // In tab order.
    const std::vector<std::unique_ptr<Control>>& controls() const { return m_controls; }

    Control* focused() const { return m_focused; }
    // False, and the focus stays, when the control cannot take it (disabled, hidden, in a
    // disabled frame, or a label or frame) or is not on this form.
    bool setFocus(Control& control);
    // The Tab key: a grid with a current cell moves to its next cell first; otherwise the
    // focus goes to the next control after the focused one, in tab order and round the end,
    // that can take it. Nothing focusable: the focus stays.
    void sendTab();

    // Form-level key down (key preview): raised by userKey before the focused control's events.
    std::function<void(int key, int shift)> onKeyDown;
    // A key stroke: the form's key down, then key down / press / up of the focused control.
    void userKey(int key, int shift);

private:
    void adopt(std::unique_ptr<Control> control);
    static bool canFocus(const Control& c);

    std::string m_name;
    std::string m_caption;
    std::vector<std::unique_ptr<Control>> m_controls;
    std::unordered_map<std::string, Control*, NoCaseHash, NoCaseEqual> m_byName;
    Control* m_focused = nullptr;
};

} // namespace tesmira::forms

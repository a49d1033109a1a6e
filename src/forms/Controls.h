#pragma once
// The simple controls: label, frame, flat button, check box, date picker, tab strip.
#include "forms/Control.h"

namespace tesmira::forms {

// A control that only shows a caption and never takes the focus.
class CaptionControl : public Control {
public:
    using Control::Control;
    const std::string& caption() const { return m_caption; }
    void setCaption(std::string caption);
    bool acceptsFocus() const override { return false; }
    std::string shownText() const override { return m_caption; }

private:
    std::string m_caption;
};

class Label : public CaptionControl {
public:
    using CaptionControl::CaptionControl;
};

// Disabling or hiding a frame does the same to the controls whose container it is.
class Frame : public CaptionControl {
public:
    using CaptionControl::CaptionControl;
};

class Button : public Control {
public:
    using Control::Control;
    const std::string& caption() const { return m_caption; }
    void setCaption(std::string caption);
    std::function<void()> onClick;
    // Throws Error when the button is disabled or hidden.
    void userClick();
    std::string shownText() const override { return m_caption; }

private:
    std::string m_caption;
};

class CheckBox : public Control {
public:
    static constexpr int Unchecked = 0; // vbUnchecked
    static constexpr int Checked = 1;   // vbChecked
    static constexpr int Grayed = 2;    // vbGrayed

    using Control::Control;
    const std::string& caption() const { return m_caption; }
    void setCaption(std::string caption);
    int value() const { return m_value; }
    bool checked() const { return m_value == Checked; }
    // Code and user alike: onClick fires when the value changes (the loaders rely on it).
    // Values other than 0, 1, 2 throw Error.
    void setValue(int value);
    std::function<void()> onClick;
    // The user toggles the box (a grayed box becomes checked).
    void userClick();
    std::string shownText() const override { return std::to_string(m_value); }
    Value shownValue() const override { return Value(m_value); }

private:
    std::string m_caption;
    int m_value = Unchecked;
};

class DatePicker : public Control {
public:
    using Control::Control;
    const Date& value() const { return m_value; }
    // Code and user alike: onChange fires when the date changes.
    void setValue(const Date& d);
    std::function<void()> onChange;
    // The user picks a date given as dd-mm-yyyy or ISO text; bad text throws Error.
    void userSetText(std::string_view text);
    std::string shownText() const override;
    Value shownValue() const override { return Value(m_value); }

private:
    Date m_value;
};

// ssTabKiv. Selecting a tab by code raises nothing; a user click on another tab raises
// onClick with the tab that was selected before (a click on the selected tab raises
// nothing, as the tab control does).
class TabStrip : public Control {
public:
    using Control::Control;
    const std::vector<std::string>& tabs() const { return m_tabs; }
    void setTabs(std::vector<std::string> captions);
    int tab() const { return m_tab; }
    // Throws Error for a tab that does not exist.
    void setTab(int index);
    std::function<void(int previousTab)> onClick;
    void userClick(int index);
    std::string shownText() const override;
    Value shownValue() const override { return Value(m_tab); }

private:
    std::vector<std::string> m_tabs;
    int m_tab = 0;
};

} // namespace tesmira::forms

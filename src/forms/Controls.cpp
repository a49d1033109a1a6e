#include "forms/Controls.h"

#include "base/Error.h"
#include "base/SetIfDifferent.h"
#include "base/Vb.h"

namespace tesmira::forms {

void CaptionControl::setCaption(std::string caption)
{
    if (setIfDifferent(m_caption, std::move(caption)))
        changed();
}

void Button::setCaption(std::string caption)
{
    if (setIfDifferent(m_caption, std::move(caption)))
        changed();
}

void Button::userClick()
{
    if (!isReachable())
        throw Error("El botón '" + name() + "' no está disponible");
    if (onClick)
        onClick();
}

void CheckBox::setCaption(std::string caption)
{
    if (setIfDifferent(m_caption, std::move(caption)))
        changed();
}

void CheckBox::setValue(int value)
{
    if (value < Unchecked || value > Grayed)
        throw Error("Valor no válido para la casilla '" + name() + "': " + std::to_string(value));
    if (!setIfDifferent(m_value, value))
        return;
    changed();
    if (onClick)
        onClick();
}

void CheckBox::userClick()
{
    requireInput();
    setValue(m_value == Checked ? Unchecked : Checked);
}

void DatePicker::setValue(const Date& d)
{
    if (!setIfDifferent(m_value, d))
        return;
    changed();
    if (onChange)
        onChange();
}

void DatePicker::userSetText(std::string_view text)
{
    requireInput();
    setValue(vb::parseDate(text));
}

std::string DatePicker::shownText() const { return vb::formatDate(m_value); }

void TabStrip::setTabs(std::vector<std::string> captions)
{
    m_tabs = std::move(captions);
    if (m_tab >= static_cast<int>(m_tabs.size()))
        m_tab = 0;
    changed();
}

void TabStrip::setTab(int index)
{
    if (index < 0 || index >= static_cast<int>(m_tabs.size()))
        throw Error("La pestaña " + std::to_string(index) + " no existe en '" + name() + "'");
    if (setIfDifferent(m_tab, index))
        changed();
}

void TabStrip::userClick(int index)
{
    if (!isReachable())
        throw Error("El control '" + name() + "' no está disponible");
    const int previous = m_tab;
    setTab(index);
    if (previous != index && onClick)
        onClick(previous);
}

std::string TabStrip::shownText() const
{
    return m_tab < static_cast<int>(m_tabs.size()) ? m_tabs[static_cast<size_t>(m_tab)] : std::string();
}

} // namespace tesmira::forms

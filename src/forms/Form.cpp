#include "forms/Form.h"

#include "forms/Grid.h"

namespace tesmira::forms {

Form::Form(std::string name)
    : m_name(std::move(name))
{
}

void Form::adopt(std::unique_ptr<Control> control)
{
    if (!m_byName.emplace(control->name(), control.get()).second)
        throw Error("El control '" + control->name() + "' ya existe en '" + m_name + "'");
    control->m_form = this;
    m_controls.push_back(std::move(control));
}

Control* Form::find(std::string_view name) const
{
    auto it = m_byName.find(name);
    return it == m_byName.end() ? nullptr : it->second;
}

Control& Form::control(std::string_view name) const
{
    if (auto* c = find(name))
        return *c;
    throw Error("El control '" + std::string(name) + "' no existe en '" + m_name + "'");
}

bool Form::canFocus(const Control& c) { return c.acceptsFocus() && c.isReachable(); }

bool Form::setFocus(Control& control)
{
    if (control.m_form != this || !canFocus(control))
        return false;
    m_focused = &control;
    return true;
}

void Form::sendTab()
{
    if (auto* grid = dynamic_cast<Grid*>(m_focused); grid && grid->tabWithin())
        return;
    const size_t n = m_controls.size();
    // With nothing focused the walk starts at the first control.
    size_t before = n - 1;
    for (size_t i = 0; i < n; ++i)
        if (m_controls[i].get() == m_focused)
            before = i;
    for (size_t step = 1; step <= n; ++step) {
        auto& candidate = *m_controls[(before + step) % n];
        if (canFocus(candidate)) {
            m_focused = &candidate;
            return;
        }
    }
}

void Form::userKey(int key, int shift)
{
    if (onKeyDown)
        onKeyDown(key, shift);
    if (m_focused)
        m_focused->userKey(key, shift);
}

} // namespace tesmira::forms

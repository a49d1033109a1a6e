#include "forms/Control.h"

#include "base/Error.h"
#include "base/SetIfDifferent.h"
#include "forms/Form.h"

#include <algorithm>

namespace tesmira::forms {

Control::Control(std::string name)
    : m_name(std::move(name))
{
}

void Control::setEnabled(bool on)
{
    if (setIfDifferent(m_enabled, on))
        changed();
}

void Control::setVisible(bool on)
{
    if (setIfDifferent(m_visible, on))
        changed();
}

void Control::setLocked(bool on)
{
    if (setIfDifferent(m_locked, on))
        changed();
}

void Control::setTag(std::string tag)
{
    if (setIfDifferent(m_tag, std::move(tag)))
        changed();
}

void Control::setContainer(Control* container)
{
    for (auto* c = container; c; c = c->m_container)
        if (c == this)
            throw Error("El control '" + m_name + "' no puede contenerse a sí mismo");
    m_container = container;
    changed();
}

bool Control::isReachable() const
{
    for (auto* c = this; c; c = c->m_container)
        if (!c->m_enabled || !c->m_visible)
            return false;
    return true;
}

bool Control::setFocus()
{
    return m_form && m_form->setFocus(*this);
}

bool Control::hasFocus() const
{
    return m_form && m_form->focused() == this;
}

void Control::userKey(int key, int shift)
{
    const int original = key;
    if (onKeyDown)
        onKeyDown(key, shift);
    if (key != 0 && onKeyPress)
        onKeyPress(key);
    if (onKeyUp)
        onKeyUp(original, shift);
}

int Control::addObserver(std::function<void()> observer)
{
    m_observers.emplace_back(m_nextObserver, std::move(observer));
    return m_nextObserver++;
}

void Control::removeObserver(int id)
{
    std::erase_if(m_observers, [id](const auto& o) { return o.first == id; });
}

void Control::changed()
{
    // A copy: an observer may remove itself while being notified.
    auto observers = m_observers;
    for (auto& [id, observer] : observers)
        observer();
}

void Control::requireInput() const
{
    if (!isReachable())
        throw Error("El control '" + m_name + "' no está disponible");
    if (m_locked)
        throw Error("El control '" + m_name + "' está bloqueado");
}

} // namespace tesmira::forms

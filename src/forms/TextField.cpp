#include "forms/TextField.h"

#include "base/Error.h"
#include "base/SetIfDifferent.h"
#include "base/Text.h"
#include "base/Vb.h"

namespace tesmira::forms {

void TextField::setText(std::string text)
{
    if (!setIfDifferent(m_text, std::move(text)))
        return;
    changed();
    // The control shows the description of what it now holds before its owner hears of it.
    refresh();
    if (onChange)
        onChange();
}

Value TextField::value() const
{
    switch (m_kind) {
    case Kind::Text:
        return Value(m_text);
    case Kind::Number:
        if (trimmed(m_text).empty())
            return {};
        try {
            return Value(vb::cdbl(m_text));
        } catch (const Error&) {
            return Value(vb::val(m_text));
        }
    case Kind::Date:
        if (trimmed(m_text).empty())
            return {};
        return Value(vb::parseDate(m_text));
    }
    return {};
}

void TextField::setValue(const Value& v)
{
    if (v.isNull()) {
        setText({});
        return;
    }
    switch (m_kind) {
    case Kind::Text:
        setText(v.isDate() ? vb::formatDate(v.toDate()) : v.toString());
        return;
    case Kind::Number:
        setText(v.isNumber() ? vb::formatNumber(v.toDouble(), m_numberFormat) : v.toString());
        return;
    case Kind::Date:
        setText(vb::formatDate(v.toDate()));
        return;
    }
}

void TextField::refresh()
{
    if (refreshHook)
        refreshHook(*this);
}

void TextField::userType(std::string_view text)
{
    requireInput();
    std::string typed(m_maxLength > 0 ? utf8Left(text, static_cast<size_t>(m_maxLength)) : text);
    typed = vb::formatCode(typed, m_codeFormat);
    if (!keyCatalog.empty() && keyCheckHook && !typed.empty() && typed != m_text && !keyCheckHook(*this, typed))
        return;
    setText(std::move(typed));
}

void TextField::userLookup()
{
    requireInput();
    if (lookupQuery.empty() || !lookupHook)
        return;
    const std::string key = lookupHook(*this);
    if (key.empty())
        return;
    userType(key);
    userEnter();
}

void TextField::userKey(int key, int shift)
{
    constexpr int KeyF2 = 113;
    Control::userKey(key, shift);
    // A locked field ignores F2 as it ignores typing.
    if (key == KeyF2 && isReachable() && !locked())
        userLookup();
}

void TextField::userEnter()
{
    setText(vb::formatCode(m_text, m_codeFormat));
    if (onEnter)
        onEnter();
}

void TextField::userLeave()
{
    if (onLeave)
        onLeave();
}

Value TextField::shownValue() const
{
    try {
        return value();
    } catch (const Error&) {
        return Value(m_text);
    }
}

} // namespace tesmira::forms

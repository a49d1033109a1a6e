#include "base/Value.h"

#include "base/Text.h"

#include "base/Error.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tesmira {

namespace {

bool allDigits(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// Only after allDigits: a date's fields, read per cell of every date column.
int toNumber(std::string_view s)
{
    int n = 0;
    for (char c : s)
        n = n * 10 + (c - '0');
    return n;
}

} // namespace

std::string Date::iso() const
{
    char buf[32];
    if (hour == 0 && minute == 0 && second == 0)
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", year, month, day);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
    return buf;
}

Date Date::parseIso(std::string_view text)
{
    text = trimmed(text);
    auto bad = [&] { return Error("Fecha no válida: '" + std::string(text) + "'"); };
    if (text.size() < 10 || text[4] != '-' || text[7] != '-')
        throw bad();
    if (!allDigits(text.substr(0, 4)) || !allDigits(text.substr(5, 2)) || !allDigits(text.substr(8, 2)))
        throw bad();
    Date d{toNumber(text.substr(0, 4)), toNumber(text.substr(5, 2)), toNumber(text.substr(8, 2))};
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > 31)
        throw bad();
    if (text.size() == 10)
        return d;
    if (text.size() < 16 || (text[10] != ' ' && text[10] != 'T') || text[13] != ':')
        throw bad();
    if (!allDigits(text.substr(11, 2)) || !allDigits(text.substr(14, 2)))
        throw bad();
    d.hour = toNumber(text.substr(11, 2));
    d.minute = toNumber(text.substr(14, 2));
    if (text.size() >= 19) {
        if (text[16] != ':' || !allDigits(text.substr(17, 2)))
            throw bad();
        d.second = toNumber(text.substr(17, 2));
    }
    return d;
}

std::string Value::toString() const
{
    switch (m_v.index()) {
    case 0:
        return {};
    case 1:
        return std::to_string(std::get<int64_t>(m_v));
    case 2: {
        double d = std::get<double>(m_v);
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g", d);
        return buf;
    }
    case 3:
        return std::get<std::string>(m_v);
    default:
        return std::get<Date>(m_v).iso();
    }
}

double Value::toDouble() const
{
    switch (m_v.index()) {
    case 1:
        return static_cast<double>(std::get<int64_t>(m_v));
    case 2:
        return std::get<double>(m_v);
    case 3: {
        std::string s(trimmed(std::get<std::string>(m_v)));
        if (s.empty())
            return 0;
        char* end = nullptr;
        double d = std::strtod(s.c_str(), &end);
        return end == s.c_str() ? 0 : d;
    }
    default:
        return 0;
    }
}

int64_t Value::toInt() const
{
    if (isInt())
        return std::get<int64_t>(m_v);
    return static_cast<int64_t>(std::nearbyint(toDouble()));
}

bool Value::toBool() const
{
    if (isText()) {
        const std::string s = lowerAscii(trimmed(std::get<std::string>(m_v)));
        if (s == "true" || s == "verdadero" || s == "si" || s == "sí" || s == "s")
            return true;
        return toDouble() != 0;
    }
    return toDouble() != 0;
}

Date Value::toDate() const
{
    if (isDate())
        return std::get<Date>(m_v);
    if (isText()) {
        auto s = trimmed(std::get<std::string>(m_v));
        // dd-mm-yyyy, the screen's own date text
        if (s.size() == 10 && (s[2] == '-' || s[2] == '/') && (s[5] == '-' || s[5] == '/') && allDigits(s.substr(0, 2))
            && allDigits(s.substr(3, 2)) && allDigits(s.substr(6, 4)))
            return Date{toNumber(s.substr(6, 4)), toNumber(s.substr(3, 2)), toNumber(s.substr(0, 2))};
        return Date::parseIso(s);
    }
    throw Error("El valor no es una fecha: '" + toString() + "'");
}

} // namespace tesmira

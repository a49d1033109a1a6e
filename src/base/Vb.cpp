#include "base/Vb.h"

#include "base/Text.h"

#include "base/Error.h"

#include <algorithm>
#include <cassert>
#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace tesmira::vb {

namespace {

bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The shortest decimal form of |x| that reads back as x: digits and the position of
// the decimal point within them (may lie outside the digits).
struct Decimal {
    std::string digits;
    int point = 0;
};

Decimal shortestDecimal(double x)
{
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific);
    assert(ec == std::errc() && "a double always fits in 64 characters");
    std::string_view text(buf, static_cast<size_t>(end - buf));
    auto e = text.find('e');
    Decimal d;
    for (char c : text.substr(0, e))
        if (c != '.')
            d.digits += c;
    int exponent = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(), exponent);
    d.point = exponent + 1;
    return d;
}

struct NumberPattern {
    std::string prefix, suffix;
    int intZeros = 0;
    int decZeros = 0;
    int decOptional = 0;
    bool grouping = false;
    bool point = false;
    bool percent = false;
    bool anyDigit = false;
};

NumberPattern parsePattern(std::string_view p)
{
    NumberPattern n;
    auto literal = [&](std::string_view s) { (n.anyDigit ? n.suffix : n.prefix) += s; };
    for (size_t i = 0; i < p.size(); ++i) {
        char c = p[i];
        switch (c) {
        case '0':
        case '#':
            n.anyDigit = true;
            if (!n.point)
                n.intZeros += c == '0';
            else if (c == '0')
                ++n.decZeros;
            else
                ++n.decOptional;
            break;
        case ',':
            if (!n.point)
                n.grouping = true;
            else
                literal(",");
            break;
        case '.':
            if (n.point)
                literal(".");
            n.point = true;
            break;
        case '%':
            n.percent = true;
            literal("%");
            break;
        case '"': {
            auto close = p.find('"', i + 1);
            if (close == std::string_view::npos)
                close = p.size();
            literal(p.substr(i + 1, close - i - 1));
            i = close;
            break;
        }
        case '\\':
            if (i + 1 < p.size())
                literal(p.substr(++i, 1));
            break;
        default:
            literal(p.substr(i, 1));
        }
    }
    return n;
}

std::vector<std::string_view> sections(std::string_view pattern)
{
    std::vector<std::string_view> out;
    size_t start = 0;
    bool quoted = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '"')
            quoted = !quoted;
        else if (pattern[i] == '\\')
            ++i;
        else if (pattern[i] == ';' && !quoted) {
            out.push_back(pattern.substr(start, i - start));
            start = i + 1;
        }
    }
    out.push_back(pattern.substr(start));
    return out;
}

// |x| under one section's pattern; the caller decides about the sign.
// Returns the text and whether any shown digit is non-zero.
std::pair<std::string, bool> formatAbsolute(double x, const NumberPattern& n)
{
    Decimal d = shortestDecimal(x);
    if (n.percent)
        d.point += 2;
    std::string intDigits, frac;
    if (d.point > 0) {
        intDigits = d.digits.substr(0, std::min<size_t>(d.digits.size(), static_cast<size_t>(d.point)));
        if (static_cast<size_t>(d.point) > d.digits.size())
            intDigits.append(static_cast<size_t>(d.point) - d.digits.size(), '0');
        else
            frac = d.digits.substr(static_cast<size_t>(d.point));
    } else {
        frac = std::string(static_cast<size_t>(-d.point), '0') + d.digits;
    }

    const size_t decimals = n.point ? static_cast<size_t>(n.decZeros + n.decOptional) : 0;
    if (frac.size() > decimals) {
        bool up = frac[decimals] >= '5';
        frac.resize(decimals);
        if (up) {
            std::string all = intDigits + frac;
            int i = static_cast<int>(all.size()) - 1;
            for (; i >= 0 && all[static_cast<size_t>(i)] == '9'; --i)
                all[static_cast<size_t>(i)] = '0';
            if (i < 0)
                all.insert(all.begin(), '1');
            else
                ++all[static_cast<size_t>(i)];
            intDigits = all.substr(0, all.size() - decimals);
            frac = all.substr(all.size() - decimals);
        }
    }
    bool nonZero = (intDigits + frac).find_first_not_of('0') != std::string::npos;

    auto firstSignificant = intDigits.find_first_not_of('0');
    intDigits = firstSignificant == std::string::npos ? std::string() : intDigits.substr(firstSignificant);
    if (intDigits.size() < static_cast<size_t>(n.intZeros))
        intDigits.insert(0, static_cast<size_t>(n.intZeros) - intDigits.size(), '0');
    if (n.grouping)
        for (int i = static_cast<int>(intDigits.size()) - 3; i > 0; i -= 3)
            intDigits.insert(static_cast<size_t>(i), 1, ',');
    while (frac.size() > static_cast<size_t>(n.decZeros) && frac.back() == '0')
        frac.pop_back();
    if (frac.size() < static_cast<size_t>(n.decZeros))
        frac.append(static_cast<size_t>(n.decZeros) - frac.size(), '0');

    std::string out = n.prefix + intDigits;
    if (n.point)
        out += '.' + frac;
    out += n.suffix;
    return {out, nonZero};
}

double pow10(int digits)
{
    static constexpr double table[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    return table[digits];
}

// Sign, digits, point, digits, exponent at the start of s; returns the characters used (0: none).
size_t scanNumber(std::string_view s, double& out)
{
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t mantissa = 0;
    while (i < s.size() && isDigit(s[i]))
        ++i, ++mantissa;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i]))
            ++i, ++mantissa;
    }
    if (mantissa == 0)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j]))
                ++j;
            i = j;
        }
    }
    std::string text(s.substr(0, i));
    for (auto& c : text)
        if (c == 'd' || c == 'D')
            c = 'e';
    out = std::strtod(text.c_str(), nullptr);
    return i;
}

bool leapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapYear(y) ? 29 : days[m - 1];
}

} // namespace

double roundTo(double x, int digits)
{
    if (digits < 0 || digits > 15)
        throw Error("Número de decimales no válido para redondear: " + std::to_string(digits));
    if (!std::isfinite(x))
        return x;
    const double scaled = std::fabs(x) * pow10(digits);
    double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    const double tolerance = 1e-12 * std::max(1.0, scaled);
    if (std::fabs(fraction - 0.5) <= tolerance) {
        if (std::fmod(whole, 2.0) != 0)
            whole += 1;
    } else if (fraction > 0.5) {
        whole += 1;
    }
    const double result = whole / pow10(digits);
    return x < 0 ? -result : result;
}

double toSingle(double x)
{
    if (!std::isfinite(x))
        return x;
    if (std::fabs(x) > FLT_MAX)
        throw Error("Desbordamiento: el valor no cabe en precisión sencilla");
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<float>(x));
    assert(ec == std::errc() && "a float always fits in 32 characters");
    *end = '\0';
    return std::strtod(buf, nullptr);
}

std::string formatNumber(double x, std::string_view pattern)
{
    if (!std::isfinite(x))
        throw Error("No se puede dar formato a un número no válido");
    if (pattern.empty())
        return Value(x).toString();
    auto parts = sections(pattern);
    if (x == 0 && parts.size() >= 3 && !parts[2].empty())
        return formatAbsolute(0, parsePattern(parts[2])).first;
    if (x < 0 && parts.size() >= 2 && !parts[1].empty())
        return formatAbsolute(x, parsePattern(parts[1])).first;
    auto [text, nonZero] = formatAbsolute(x, parsePattern(parts[0]));
    return x < 0 && nonZero ? "-" + text : text;
}

std::string formatCode(std::string_view text, std::string_view mask)
{
    if (mask.empty() || mask.find_first_not_of('0') != std::string_view::npos)
        return std::string(text);
    auto digits = trimmed(text);
    if (digits.empty())
        return std::string(text);
    for (char c : digits)
        if (!isDigit(c))
            return std::string(text);
    std::string out(digits);
    if (out.size() < mask.size())
        out.insert(0, mask.size() - out.size(), '0');
    return out;
}

std::string formatDate(const Date& d)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", d.day, d.month, d.year);
    return buf;
}

std::string formatDateTime(const Date& d)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute, d.second);
    return buf;
}

Date parseDate(std::string_view text)
{
    Date d = Value(std::string(trimmed(text))).toDate();
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > daysInMonth(d.year, d.month) || d.hour > 23
        || d.minute > 59 || d.second > 59)
        throw Error("Fecha no válida: '" + std::string(text) + "'");
    return d;
}

double val(std::string_view text)
{
    std::string compact;
    for (char c : text)
        if (!isBlank(c))
            compact += c;
    double out = 0;
    return scanNumber(compact, out) ? out : 0;
}

double cdbl(std::string_view text)
{
    auto bad = [&] { return Error("El texto no es un número: '" + std::string(text) + "'"); };
    std::string_view s = trimmed(text);
    std::string plain;
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (!s.empty() && s.front() == '$')
        s.remove_prefix(1);
    bool percent = !s.empty() && s.back() == '%';
    if (percent)
        s.remove_suffix(1);
    auto point = s.find('.');
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i] != ',' || i > point)
            plain += s[i];
    if (plain.empty() || plain.front() == '+' || plain.front() == '-')
        throw bad();
    double out = 0;
    if (scanNumber(plain, out) != plain.size())
        throw bad();
    if (percent)
        out /= 100;
    return negative ? -out : out;
}

} // namespace tesmira::vb

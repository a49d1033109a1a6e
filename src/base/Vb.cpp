#include "base/Vb.h"

#include "base/Text.h"

#include "base/Error.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace tesmira::vb {

namespace {

bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The shortest decimal form of |x| that reads back as x: at most 17 significant digits and
// the position of the decimal point within them (may lie outside the digits).
struct Decimal {
    char digits[24];
    int count = 0;
    int point = 0;
    // The digit at position k counted from the first significant one; '0' outside them.
    char at(long k) const { return k >= 0 && k < count ? digits[k] : '0'; }
};

Decimal shortestDecimal(double x)
{
    // Most amounts have few decimals: when |x| is m / 10^k for an integer m of at most 15
    // digits (the division being exact to the last bit), m's digits are the shortest form, as
    // no other decimal of 15 digits or fewer reads back as the same double.
    static constexpr double scale[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
    const double a = std::fabs(x);
    for (int k = 0; k < 9 && a * scale[k] < 1e15; ++k) {
        const double m = std::nearbyint(a * scale[k]);
        if (m / scale[k] != a)
            continue;
        Decimal d;
        auto [end, ec] = std::to_chars(d.digits, d.digits + sizeof d.digits, static_cast<std::uint64_t>(m));
        assert(ec == std::errc() && "fifteen digits fit");
        d.count = static_cast<int>(end - d.digits);
        d.point = d.count - k;
        while (d.count > 1 && d.digits[d.count - 1] == '0')
            --d.count;
        return d;
    }
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific);
    assert(ec == std::errc() && "a double always fits in 64 characters");
    Decimal d;
    const char* p = buf;
    for (; *p != 'e'; ++p)
        if (*p != '.')
            d.digits[d.count++] = *p;
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+'), end, exponent);
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

// A pattern's first three ';' sections (positive;negative;zero), parsed; count says how many
// sections it has.
struct ParsedPattern {
    NumberPattern part[3];
    bool empty[3] = {true, true, true};
    size_t count = 0;
};

ParsedPattern parseSections(std::string_view pattern)
{
    ParsedPattern out;
    size_t start = 0;
    bool quoted = false;
    auto add = [&](std::string_view s) {
        if (out.count < 3) {
            out.part[out.count] = parsePattern(s);
            out.empty[out.count] = s.empty();
        }
        ++out.count;
    };
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '"')
            quoted = !quoted;
        else if (pattern[i] == '\\')
            ++i;
        else if (pattern[i] == ';' && !quoted) {
            add(pattern.substr(start, i - start));
            start = i + 1;
        }
    }
    add(pattern.substr(start));
    return out;
}

// A screen formats with a handful of patterns, each thousands of times: the last few parsed
// are kept.
const ParsedPattern& parsed(std::string_view pattern)
{
    struct Entry {
        std::string pattern;
        ParsedPattern parsed;
    };
    thread_local std::array<Entry, 8> cache;
    thread_local size_t used = 0, next = 0;
    for (size_t i = 0; i < used; ++i)
        if (cache[i].pattern == pattern)
            return cache[i].parsed;
    Entry& e = cache[used < cache.size() ? used++ : next++ % cache.size()];
    e.parsed = parseSections(pattern);
    e.pattern.assign(pattern);
    return e.parsed;
}

// |x| under one section's pattern; the caller decides about the sign.
// Returns the text and whether any shown digit is non-zero.
std::pair<std::string, bool> formatAbsolute(double x, const NumberPattern& n)
{
    Decimal d = shortestDecimal(x);
    if (n.percent)
        d.point += 2;
    // The integer digits and the kept decimals side by side, rounded half away from zero on
    // the first decimal dropped; a carry out of the first digit prepends a '1'.
    const long point = d.point;
    const long decimals = n.point ? n.decZeros + n.decOptional : 0;
    const long fraction = d.count - point; // decimals the value has
    const long kept = std::min(std::max(fraction, 0L), decimals);
    long whole = std::max(point, 0L);
    char small[64];
    std::string large;
    const size_t room = static_cast<size_t>(whole + kept + 1);
    char* const all = room <= sizeof small ? small : (large.resize(room), large.data());
    char* const digits = all + 1; // all[0] takes a carry
    size_t size = 0;
    for (long k = 0; k < whole; ++k)
        digits[size++] = d.at(k);
    for (long k = 0; k < kept; ++k)
        digits[size++] = d.at(point + k);
    const char* first = digits;
    if (fraction > decimals && d.at(point + decimals) >= '5') {
        size_t i = size;
        for (; i > 0 && digits[i - 1] == '9'; --i)
            digits[i - 1] = '0';
        if (i == 0) {
            all[0] = '1';
            first = all;
            ++size;
            ++whole;
        } else {
            ++digits[i - 1];
        }
    }
    const std::string_view shown(first, size);
    const bool nonZero = shown.find_first_not_of('0') != std::string_view::npos;

    std::string_view intDigits = shown.substr(0, static_cast<size_t>(whole));
    intDigits.remove_prefix(std::min(intDigits.size(), intDigits.find_first_not_of('0')));
    std::string_view frac = shown.substr(static_cast<size_t>(whole));
    while (frac.size() > static_cast<size_t>(n.decZeros) && frac.back() == '0')
        frac.remove_suffix(1);
    const size_t intPad = static_cast<size_t>(std::max<long>(n.intZeros - static_cast<long>(intDigits.size()), 0));
    const size_t intSize = intDigits.size() + intPad;
    const size_t commas = n.grouping && intSize > 0 ? (intSize - 1) / 3 : 0;
    const size_t fracSize = std::max(frac.size(), static_cast<size_t>(n.decZeros));

    std::string out(n.prefix.size() + intSize + commas + (n.point ? 1 + fracSize : 0) + n.suffix.size(), '0');
    char* o = std::copy(n.prefix.begin(), n.prefix.end(), out.data());
    // Integer digits with a ',' before every group of three counted from the right.
    for (size_t i = 0; i < intSize; ++i) {
        if (commas && i > 0 && (intSize - i) % 3 == 0)
            *o++ = ',';
        *o++ = i < intPad ? '0' : intDigits[i - intPad];
    }
    if (n.point) {
        *o++ = '.';
        o = std::copy(frac.begin(), frac.end(), o) + (fracSize - frac.size()); // padded by the '0' fill
    }
    std::copy(n.suffix.begin(), n.suffix.end(), o);
    return {std::move(out), nonZero};
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
    const ParsedPattern& parts = parsed(pattern);
    if (x == 0 && parts.count >= 3 && !parts.empty[2])
        return formatAbsolute(0, parts.part[2]).first;
    if (x < 0 && parts.count >= 2 && !parts.empty[1])
        return formatAbsolute(x, parts.part[1]).first;
    auto [text, nonZero] = formatAbsolute(x, parts.part[0]);
    if (x < 0 && nonZero)
        text.insert(text.begin(), '-');
    return std::move(text);
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
    // Printed documents show a date per lot: the usual ranges skip printf.
    if (d.day >= 0 && d.day <= 99 && d.month >= 0 && d.month <= 99 && d.year >= 0 && d.year <= 9999) {
        std::string out = "00-00-0000";
        const auto put = [&](size_t end, int v, int digits) {
            for (; digits > 0; --digits, v /= 10)
                out[--end] = static_cast<char>('0' + v % 10);
        };
        put(2, d.day, 2);
        put(5, d.month, 2);
        put(10, d.year, 4);
        return out;
    }
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

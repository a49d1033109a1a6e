#include "base/Text.h"

#include <cctype>

namespace tesmira {

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

std::string lowerAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

std::string upperAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = upperAscii(c);
    return out;
}

bool sameKey(std::string_view a, std::string_view b)
{
    return NoCaseEqual{}(withoutTrailingBlanks(a), withoutTrailingBlanks(b));
}

size_t NoCaseHash::operator()(std::string_view s) const noexcept
{
    // FNV-1a over the lower-cased bytes: no temporary string per look-up.
    size_t h = 1469598103934665603ull;
    for (char c : s) {
        h ^= static_cast<unsigned char>(lowerAscii(c));
        h *= 1099511628211ull;
    }
    return h;
}

bool NoCaseEqual::operator()(std::string_view a, std::string_view b) const noexcept
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

std::string_view utf8Left(std::string_view s, size_t n)
{
    size_t chars = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        // Continuation bytes belong to the character already counted.
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
            continue;
        if (chars++ == n)
            return s.substr(0, i);
    }
    return s;
}

} // namespace tesmira

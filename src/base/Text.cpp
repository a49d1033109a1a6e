#include "base/Text.h"

namespace tesmira {

namespace {
// Continuation bytes belong to the character already counted.
bool continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
} // namespace

size_t utf8Length(std::string_view s)
{
    size_t n = 0;
    for (char c : s)
        n += !continuation(c);
    return n;
}

std::string_view utf8Left(std::string_view s, size_t n)
{
    size_t chars = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (continuation(s[i]))
            continue;
        if (chars++ == n)
            return s.substr(0, i);
    }
    return s;
}

std::string_view utf8Right(std::string_view s, size_t n)
{
    if (n == 0)
        return s.substr(s.size());
    size_t chars = 0;
    for (size_t i = s.size(); i-- > 0;)
        if (!continuation(s[i]) && ++chars == n)
            return s.substr(i);
    return s;
}

std::vector<std::string_view> utf8Characters(std::string_view s)
{
    std::vector<std::string_view> out;
    size_t start = 0;
    for (size_t i = 1; i <= s.size(); ++i)
        if (i == s.size() || !continuation(s[i])) {
            out.push_back(s.substr(start, i - start));
            start = i;
        }
    return out;
}

} // namespace tesmira

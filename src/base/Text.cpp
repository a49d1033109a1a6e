#include "base/Text.h"

#include "base/AsciiWords.h"

#include <cctype>

namespace tesmira {

namespace {
// Continuation bytes belong to the character already counted.
bool continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
} // namespace

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
    // Word by word over the lowered bytes: no temporary string per look-up. Equal names have
    // equal lengths, so they are read in the same words.
    uint64_t h = 1469598103934665603ull ^ s.size();
    ascii::eachWord(s.data(), s.data(), s.size(), [&h](uint64_t w, uint64_t) {
        h = (h ^ ascii::lower(w)) * 0x9E3779B97F4A7C15ull;
        h ^= h >> 32;
        return 0;
    });
    return static_cast<size_t>(h);
}

bool NoCaseEqual::operator()(std::string_view a, std::string_view b) const noexcept
{
    return a.size() == b.size() && ascii::eachWord(a.data(), b.data(), a.size(), ascii::compareFolded) == 0;
}

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

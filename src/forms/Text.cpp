#include "forms/Text.h"

#include <cctype>

namespace tesmira::forms {

namespace {
// ASCII only, inline: column names are plain ASCII and every cell access hashes one.
unsigned char lower(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}
} // namespace

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

size_t NoCaseHash::operator()(std::string_view s) const noexcept
{
    // FNV-1a over the lower-cased bytes: no temporary string per look-up.
    size_t h = 1469598103934665603ull;
    for (char c : s) {
        h ^= lower(c);
        h *= 1099511628211ull;
    }
    return h;
}

bool NoCaseEqual::operator()(std::string_view a, std::string_view b) const noexcept
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

} // namespace tesmira::forms

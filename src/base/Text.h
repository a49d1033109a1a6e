#pragma once
// Text helpers every layer shares: blanks, ASCII case, the database's key comparison and
// UTF-8 widths. Keys and names are plain ASCII codes; accented letters stay as typed.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tesmira {

// Without leading and trailing white space.
std::string_view trimmed(std::string_view s);

// Without trailing blanks, as SQL Server compares text. Inline: the collation calls it per comparison.
inline std::string_view withoutTrailingBlanks(std::string_view s)
{
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

inline char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}
inline char upperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}
std::string lowerAscii(std::string_view s);
std::string upperAscii(std::string_view s);

// Keys compare as the database compares them: without regard to ASCII case or trailing blanks.
bool sameKey(std::string_view a, std::string_view b);

// Hash and equality of names (controls, columns, SQL words): ASCII case ignored, usable with
// string_view look-ups.
struct NoCaseHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const noexcept;
};
struct NoCaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept;
};

// UTF-8 widths and cuts count characters, never bytes: a cut never splits a character.
size_t utf8Length(std::string_view s);
// The first / last n characters.
std::string_view utf8Left(std::string_view s, size_t n);
std::string_view utf8Right(std::string_view s, size_t n);
// One view per character, in order.
std::vector<std::string_view> utf8Characters(std::string_view s);

} // namespace tesmira

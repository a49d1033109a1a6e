#pragma once
// Text helpers shared by every layer. Texts are UTF-8: widths and cuts count characters,
// never bytes, so a cut never leaves half a character behind.
#include <cstddef>
#include <string_view>
#include <vector>

namespace tesmira {

// Number of characters (not bytes).
size_t utf8Length(std::string_view s);
// The first / last n characters.
std::string_view utf8Left(std::string_view s, size_t n);
std::string_view utf8Right(std::string_view s, size_t n);
// One view per character, in order.
std::vector<std::string_view> utf8Characters(std::string_view s);

} // namespace tesmira

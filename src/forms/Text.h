#pragma once
// Small text helpers shared by the controls: case-insensitive names (UTF-8 cuts: base/Text.h).
#include <cstddef>
#include <string>
#include <string_view>

namespace tesmira::forms {

std::string_view trimmed(std::string_view s);

// Hash and equality that ignore ASCII case, usable with string_view look-ups.
struct NoCaseHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const noexcept;
};
struct NoCaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept;
};

} // namespace tesmira::forms

// Cuts and widths count characters: half a character left at a cut breaks the stored text.
#include "base/Text.h"

#include <gtest/gtest.h>

#include <string>

namespace tesmira {
namespace {

TEST(Text, CutsWholeCharacters)
{
    struct Caso {
        const char* nombre;
        std::string texto;
        size_t n;
        std::string izquierda, derecha;
    };
    const Caso casos[] = {
        {"ascii", "ABCDEF", 3, "ABC", "DEF"},
        {"accent at the cut", "añoñá", 2, "añ", "ñá"},
        {"three-byte character", "1€2€", 3, "1€2", "€2€"},
        {"longer than the text", "ñu", 5, "ñu", "ñu"},
        {"zero", "ñu", 0, "", ""},
        {"empty", "", 2, "", ""},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        EXPECT_EQ(utf8Left(c.texto, c.n), c.izquierda);
        EXPECT_EQ(utf8Right(c.texto, c.n), c.derecha);
    }
    EXPECT_EQ(utf8Length("añoñá€"), 6u);
    EXPECT_EQ(utf8Characters("a€ñ"), (std::vector<std::string_view>{"a", "€", "ñ"}));
}

} // namespace
} // namespace tesmira

#include "base/Error.h"
#include "base/Vb.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tesmira;

namespace {

struct RoundCase {
    const char* name;
    double x;
    int digits;
    double expected;
};

// Guards against rounding half up (or half away) where the amounts must tie to even,
// and against ties decided on the binary approximation instead of the decimal value; bad digit counts throw.
TEST(VbRound, TiesGoToEvenOnTheDecimalValue)
{
    const RoundCase cases[] = {
        {"tie down to even", 0.125, 2, 0.12},
        {"tie up to even", 0.135, 2, 0.14},
        {"whole tie up", 3.5, 0, 4},
        {"negative tie", -2.5, 0, -2},
        {"negative tie up", -0.135, 2, -0.14},
        {"stored below the tie", 11.525, 2, 11.52},
        {"stored below the tie, odd", 11.535, 2, 11.54},
        {"not a tie rounds up", 0.1251, 2, 0.13},
        {"not a tie rounds down", 0.1249, 2, 0.12},
        {"four digits up", 1.00015, 4, 1.0002},
        {"computed amount", 3 * 1.15, 1, 3.4},
        {"already round", 12.34, 2, 12.34},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(vb::roundTo(c.x, c.digits), c.expected) << c.name;
    EXPECT_DOUBLE_EQ(vb::round2(2.675), 2.68) << "2.675 is a decimal tie, 7 is odd";
    EXPECT_DOUBLE_EQ(vb::round4(0.00125), 0.0012) << "round4 ties to even too";
    EXPECT_THROW(vb::roundTo(1.5, -1), Error);
    EXPECT_THROW(vb::roundTo(1.5, 16), Error);
    EXPECT_TRUE(std::isnan(vb::roundTo(NAN, 2))) << "NaN passes unchanged";
}

// A quantity through single precision must still print as typed.
TEST(VbSingle, KeepsWhatTheSingleShows)
{
    EXPECT_DOUBLE_EQ(vb::toSingle(1.1), 1.1);
    EXPECT_DOUBLE_EQ(vb::toSingle(0.1234567891), 0.12345679) << "precision drops to seven digits";
    EXPECT_DOUBLE_EQ(vb::toSingle(16777217.0), 16777216.0);
    EXPECT_THROW(vb::toSingle(1e39), Error);
}

struct FormatCase {
    const char* name;
    double x;
    const char* pattern;
    const char* expected;
};

// Every grid number format, plus the corner cases of Format's placeholders; no pattern, no infinities.
TEST(VbFormat, GridPatterns)
{
    const FormatCase cases[] = {
        {"quantity pads to three", 12.5, "#,##0.000######", "12.500"},
        {"quantity keeps optional digits", 1234.56789, "#,##0.000######", "1,234.56789"},
        {"quantity zero", 0, "#,##0.000######", "0.000"},
        {"quantity more decimals than shown", 1.1234567891234, "#,##0.000######", "1.123456789"},
        {"quantity last digit rounds up", 0.0000000005, "#,##0.000######", "0.000000001"},
        {"quantity carries into integer", 9.9999999999, "#,##0.000######", "10.000"},
        {"quantity negative", -1234.5, "#,##0.000######", "-1,234.500"},
        {"quantity negative rounding to zero", -0.0000000001, "#,##0.000######", "0.000"},
        {"price negative", -12.5, "$#,##0.0000#####", "-$12.5000"},
        {"price small", 0.00001234, "$#,##0.0000#####", "$0.00001234"},
        {"amount", 1234.5, "$#,##0.00#######", "$1,234.50"},
        {"amount tiny", 0.001, "$#,##0.00#######", "$0.001"},
        {"percent", 0.15, "#,##0.00#######%", "15.00%"},
        {"percent with more digits", 0.123456, "#,##0.00#######%", "12.3456%"},
        {"percent exact decimal shift", 0.285, "#,##0.00#######%", "28.50%"},
        {"padded code", 12, "0000", "0012"},
        {"negative half away from zero", -2.5, "0", "-3"},
        {"decimal tie, not binary", 2.675, "0.00", "2.68"},
        {"no integer zero", 0.5, "#.00", ".50"},
        {"big", 1e15, "#,##0", "1,000,000,000,000,000"},
        {"fifteen digits read exactly", 123456789012.345, "#,##0.000", "123,456,789,012.345"},
        {"seventeen digits", 0.1 + 0.2, "0.#################", "0.30000000000000004"},
        {"optional decimals rounded away keep the point", 999.9995, "#,##0.###", "1,000."},
        {"quoted literal", 5, "0 \"pz\"", "5 pz"},
        {"negative section", -5, "0.0;(0.0)", "(5.0)"},
        {"zero section", 0, "0.0;(0.0);\"-\"", "-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vb::formatNumber(c.x, c.pattern), c.expected) << c.name;
    EXPECT_EQ(vb::formatNumber(0.1, ""), "0.1");
    EXPECT_THROW(vb::formatNumber(INFINITY, "0.00"), Error);
    EXPECT_THROW(vb::formatNumber(NAN, "0.00"), Error);
}

TEST(VbFormat, CodeMasks)
{
    const struct {
        const char* name;
        const char* text;
        const char* mask;
        const char* expected;
    } cases[] = {
        {"digits pad", "12", "0000", "0012"},
        {"blanks dropped before padding", " 12 ", "0000", "0012"},
        {"longer than the mask", "123456", "0000", "123456"},
        {"letters left as typed", "ab1", "0000", "ab1"},
        {"empty mask", "12", "", "12"},
        {"empty text", "", "0000", ""},
        {"at-sign mask left alone", "12", "@@@@", "12"},
        {"mixed mask left alone", "12", "AA-00", "12"},
        {"negative number is not a code", "-12", "0000", "-12"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vb::formatCode(c.text, c.mask), c.expected) << c.name;
}

TEST(VbDate, FormatsAndParses)
{
    Date d{2024, 3, 7, 9, 5, 4};
    EXPECT_EQ(vb::formatDate(d), "07-03-2024");
    EXPECT_EQ(vb::formatDateTime(d), "2024-03-07 09:05:04");
    EXPECT_EQ(vb::parseDate("07-03-2024"), (Date{2024, 3, 7}));
    EXPECT_EQ(vb::parseDate("07/03/2024"), (Date{2024, 3, 7}));
    EXPECT_EQ(vb::parseDate("2024-03-07 09:05:04"), d);
    EXPECT_EQ(vb::parseDate("29-02-2024"), (Date{2024, 2, 29})) << "leap day";
    for (const char* bad : {"29-02-2023", "31-04-2024", "00-01-2024", "2024-13-01", "7-3-2024", "", "mañana"})
        EXPECT_THROW(vb::parseDate(bad), Error) << bad;
}

TEST(VbConvert, ValReadsTheLeadingNumber)
{
    const struct {
        const char* text;
        double expected;
    } cases[] = {{"12abc", 12}, {" 1 2 ", 12}, {"1,234", 1}, {"-3.5e2x", -350}, {"", 0}, {"abc", 0}, {".5", 0.5}, {"1e", 1}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(vb::val(c.text), c.expected) << c.text;
}

TEST(VbConvert, CdblReadsFormattedTextBack)
{
    EXPECT_DOUBLE_EQ(vb::cdbl("1,234,567.500"), 1234567.5);
    EXPECT_DOUBLE_EQ(vb::cdbl("$12.5000"), 12.5);
    EXPECT_DOUBLE_EQ(vb::cdbl("-$1,234.50"), -1234.5);
    EXPECT_DOUBLE_EQ(vb::cdbl("15.00%"), 0.15);
    EXPECT_DOUBLE_EQ(vb::cdbl(" 7 "), 7);
    for (const char* bad : {"", "abc", "12abc", "1.2.3", "--1", "$", "1.5,0"})
        EXPECT_THROW(vb::cdbl(bad), Error) << bad;
}

} // namespace

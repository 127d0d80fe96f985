// Reading numbers from GBK texts and the program's number formats, in the C locale and a decimal-comma one.
#include "collect/number_text.h"

#include "tests/support/decimal_comma_locale.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

namespace corvelle::collect {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

struct ReadCase {
    const char* name;
    std::string text;
    double expected;  // NaN: a NaN is expected
};

std::vector<ReadCase> readCases()
{
    return {
        {"plain decimal", "9.87", 9.87},
        {"blanks, sign, exponent, then junk", " +1.5e3x", 1500.0},
        {"all C white space", " \t\n\v\f\r42", 42.0},
        {"negative", "-3.25", -3.25},
        {"hexadecimal with binary exponent", "0x1p4", 16.0},
        {"hexadecimal fraction", "0x1.8p1", 3.0},
        {"hexadecimal prefix alone reads the zero", "0x", 0.0},
        {"infinity", "inf", kInf},
        {"long infinity, any case", "-Infinity", -kInf},
        {"nan", "nan", kNan},
        {"nan with payload", "nan(123)", kNan},
        {"overflow", "1e400", kInf},
        {"point without digits", ".", 0.0},
        {"leading point", ".5", 0.5},
        {"exponent without mantissa", "e5", 0.0},
        {"dangling exponent", "7e", 7.0},
        {"a dash alone", "-", 0.0},
        {"quoted dash", "\"-\"", 0.0},
        {"empty", "", 0.0},
        {"letters", "abc", 0.0},
        {"comma is not a decimal point", "1,5", 1.0},
        {"price text with other members after it", "12.34,\"f44\":1", 12.34},
        {"zero byte ends the number", std::string{'1', '\0', '5'}, 1.0},
        {"full-width digits and point", "\xA3\xB9\xA3\xAE\xA3\xB8\xA3\xB7", 9.87},  // ９．８７
        {"full-width minus", "\xA3\xAD\xA3\xB3", -3.0},                             // －３
        // ＋2％1 and 1ｅ2
        {"full-width plus, a percent sign ends it", std::string("\xA3\xAB") + "2\xA3\xA5" + "1", 2.0},
        {"full-width e", std::string("1\xA3\xE5") + "2", 100.0},
        {"ideographic space before a number", std::string("\xA1\xA1") + "1.5", 1.5},
        {"two ideographic spaces and a full-width digit", "\xA1\xA1\xA1\xA1\xA3\xB7", 7.0},
        {"Chinese character before the number", std::string("\xD6\xD0") + "5", 0.0},
        {"lone lead byte", "\xA3", 0.0},
        {"euro byte before the number", std::string("\x80") + "5", 0.0},
    };
}

void expectSameNumber(double actual, double expected, const char* name)
{
    if (std::isnan(expected))
        EXPECT_TRUE(std::isnan(actual)) << name << ": " << actual;
    else
        EXPECT_EQ(actual, expected) << name;
}

TEST(ReadLeadingNumber, Cases)
{
    for (const auto& c : readCases())
        expectSameNumber(readLeadingNumber(c.text), c.expected, c.name);
}

struct MapCase {
    const char* name;
    std::string text;
    std::string expected;
};

TEST(MapFullWidthToAscii, Cases)
{
    const std::vector<MapCase> cases = {
        {"first and last full-width forms", "\xA3\xA1\xA3\xFE", "!~"},
        {"full-width letters", "\xA3\xC1\xA3\xE1", "Aa"},
        {"ideographic space", std::string("a\xA1\xA1") + "b", "a b"},
        {"0xA3 as a second byte stays", "\xB0\xA3\xA3\xB9", std::string("\xB0\xA3") + "9"},
        {"other characters stay", "\xD6\xD0\xA1\xA2", "\xD6\xD0\xA1\xA2"},
        {"0xA3 0xA0 is not a full-width form", "\xA3\xA0", "\xA3\xA0"},
        {"lone lead byte at the end", "1\xA3", "1\xA3"},
        {"euro byte is one byte", "\x80\xA3\xB1", std::string("\x80") + "1"},
        {"ASCII unchanged", "12.5%", "12.5%"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mapFullWidthToAscii(c.text), c.expected) << c.name;
}

struct FloatCase {
    const char* name;
    double value;
    float expected;
};

TEST(ToFloat, RoundsAndSaturates)
{
    constexpr float kMax = std::numeric_limits<float>::max();
    constexpr float kFloatInf = std::numeric_limits<float>::infinity();
    const std::vector<FloatCase> cases = {
        {"exact", 4.75, 4.75F},
        {"nearest float", 9.87, 9.87F},
        {"largest float", static_cast<double>(kMax), kMax},
        {"just below the rounding point", std::nextafter(0x1.ffffffp127, 0.0), kMax},
        {"rounding point goes to infinity", 0x1.ffffffp127, kFloatInf},
        {"far beyond", 1e300, kFloatInf},
        {"far beyond, negative", -1e300, -kFloatInf},
        {"infinity", kInf, kFloatInf},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toFloat(c.value), c.expected) << c.name;
    EXPECT_TRUE(std::isnan(toFloat(kNan)));
}

TEST(ReadFloat, StoresAsFloat)
{
    EXPECT_EQ(readFloat("9.87"), 9.87F);
    EXPECT_EQ(readFloat("1e39"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(readFloat("-"), 0.0F);
}

struct IntegerCase {
    const char* name;
    std::string text;
    int expected;
};

TEST(ReadLeadingInteger, Cases)
{
    const std::vector<IntegerCase> cases = {
        {"digits", "42", 42},
        {"blanks, sign, junk", "  -17x", -17},
        {"tab", "\t3", 3},
        {"plus sign", "+5", 5},
        {"stops at the point", "1.9", 1},
        {"full-width digit", "\xA3\xB2", 2},
        {"ideographic space", std::string("\xA1\xA1") + "7", 7},
        {"empty", "", 0},
        {"letter first", "x1", 0},
        {"blank after the sign", "- 1", 0},
        {"largest int", "2147483647", INT_MAX},
        {"one past the largest saturates", "2147483648", INT_MAX},
        {"far too large saturates", "99999999999999999999999", INT_MAX},
        {"smallest int", "-2147483648", INT_MIN},
        {"far too small saturates", "-99999999999999999999999", INT_MIN},
        {"leading zeros", "0007", 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readLeadingInteger(c.text), c.expected) << c.name;
}

// printf's %g in the C locale is the reference; the process locale is C while these run.
std::string printfGeneral(double value, int precision)
{
    char buffer[2048];
    std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
    return buffer;
}

std::vector<double> formatValues()
{
    return {0.0,       -0.0,
            1.0,       100.0,
            12.5,      66.66666666666667,
            1.0 / 3.0, 42.857142857142854,
            1e-5,      1e-4,
            0.0001234, 123456789012345.0,
            1e15,      1e16,
            1.5e300,   5e-324,
            -2.5,      static_cast<double>(9.87F),
            1234567.0, 999999.5,
            kInf,      -kInf,
            kNan,      -kNan};
}

TEST(FormatGeneral, MatchesPrintfInTheCLocale)
{
    for (double value : formatValues())
        for (int precision : {0, 1, 2, 6, 13, 17, 40})
            EXPECT_EQ(formatGeneral(value, precision), printfGeneral(value, precision))
                << "value " << printfGeneral(value, 17) << " precision " << precision;
}

TEST(FormatGeneral, NegativePrecisionIsSix)
{
    EXPECT_EQ(formatGeneral(1.0 / 3.0, -1), "0.333333");
}

TEST(FormatGeneral, HugePrecisionStaysExact)
{
    EXPECT_EQ(formatGeneral(0.1, 1000), printfGeneral(0.1, 1000));
    EXPECT_EQ(formatGeneral(5e-324, 1000), printfGeneral(5e-324, 1000));
}

struct CutCase {
    const char* name;
    std::string text;
    int digits;
    std::string expected;
};

TEST(CutAfterDecimals, Cases)
{
    const std::vector<CutCase> cases = {
        {"cut without rounding", "66.66666666667", 2, "66.66"},
        {"fewer digits than asked", "12.5", 2, "12.5"},
        {"no point", "100", 2, "100"},
        {"point at the end", "1.", 2, "1."},
        {"zero digits drops the point", "3.14159", 0, "3"},
        {"negative digits drops the point", "-3.7", -1, "-3"},
        {"leading point, zero digits", ".5", 0, ""},
        {"only the first point counts", "1.2.3", 1, "1.2"},
        {"empty", "", 2, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cutAfterDecimals(c.text, c.digits), c.expected) << c.name;
}

struct PercentCase {
    double fraction;
    std::string expected;
};

TEST(FormatProgressPercent, KnownAnswers)
{
    const std::vector<PercentCase> cases = {
        {2.0 / 3.0, "66.66 %"}, {1.0 / 3.0, "33.33 %"}, {3.0 / 7.0, "42.85 %"}, {1.0 / 8.0, "12.5 %"},
        {1.0 / 2.0, "50 %"},    {1.0, "100 %"},         {1.0 / 7.0, "14.28 %"}, {0.001, "0.1 %"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatProgressPercent(c.fraction), c.expected) << c.fraction;
}

TEST(DecimalCommaLocale, ReadsAndWritesAsInTheCLocale)
{
    const corvelle::testing::DecimalCommaLocale comma;
    if (!comma.active())
        GTEST_SKIP() << "no decimal-comma locale on this system and localedef could not make one";
    // The locale really is active: printf now writes a comma.
    ASSERT_EQ(printfGeneral(1.5, 6), "1,5");

    for (const auto& c : readCases())
        expectSameNumber(readLeadingNumber(c.text), c.expected, c.name);
    EXPECT_EQ(readFloat("9.87"), 9.87F);
    EXPECT_EQ(readLeadingInteger("  -17x"), -17);

    EXPECT_EQ(formatGeneral(1.5, 6), "1.5");
    EXPECT_EQ(formatGeneral(66.66666666666667, 13), "66.66666666667");
    EXPECT_EQ(formatGeneral(1e-5, 13), "1e-05");
    EXPECT_EQ(formatProgressPercent(2.0 / 3.0), "66.66 %");
    EXPECT_EQ(formatProgressPercent(1.0 / 8.0), "12.5 %");
}

}  // namespace
}  // namespace corvelle::collect

// Cell texts of the results list: the float rule and the five columns of a record.
#include "view/cell_texts.h"

#include "tests/collect/analysis_fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace corvelle::view {
namespace {

using testing::gbk;

struct FloatCase {
    const char* name;
    float value;
    const char* text;
};

// The first block comes from the list's documented examples; the ties are exact binary halves where
// printf's own rounding (to even) would give the other neighbour.
const FloatCase kFloatCases[] = {
    {"TenThirtyNineHidesFloatError", 10.39F, "10.39"},
    {"WholeNumberHasNoPoint", 3.0F, "3"},
    {"Half", 0.5F, "0.5"},
    {"SeventhDigitRoundsUp", 12.3456789F, "12.3457"},
    {"FourDigitsBeforePoint", 1234.5678F, "1234.57"},
    {"Zero", 0.0F, "0"},
    {"NegativeKeepsSign", -2.25F, "-2.25"},
    {"NearlyTwentyFive", 25.000001F, "25"},
    {"Price", 1800.5F, "1800.5"},
    {"Ratio", 12.75F, "12.75"},
    {"SumOfTenthsShowsShort", 0.1F + 0.2F, "0.3"},
    {"NegativeZeroShowsAsZero", -0.0F, "0"},
    {"ExactTieRoundsAwayFromZero", 1000.125F, "1000.13"},
    {"NegativeExactTieRoundsAwayFromZero", -1000.125F, "-1000.13"},
    {"SevenDigitTieInExponentForm", 1234565.0F, "1.23457e+06"},
    {"CarryIntoNewDecade", 999999.5F, "1e+06"},
    {"SixDigitsStayFixed", 123456.7F, "123457"},
    {"SmallestFixed", 0.0001F, "0.0001"},
    {"BelowFixedRange", 0.00001F, "1e-05"},
    {"LargestFloat", std::numeric_limits<float>::max(), "3.40282e+38"},
    {"Infinity", std::numeric_limits<float>::infinity(), "inf"},
    {"NegativeInfinity", -std::numeric_limits<float>::infinity(), "-inf"},
};

class FloatToText : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FloatToText, KnownAnswer)
{
    EXPECT_EQ(floatToText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, FloatToText, ::testing::ValuesIn(kFloatCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FloatToTextLocale, DecimalCommaLocaleStillWritesAPoint)
{
    testing::DecimalCommaLocale locale;
    if (!locale.active())
        GTEST_SKIP() << "no locale with a decimal comma could be installed (localedef missing?)";
    char printed[16];
    std::snprintf(printed, sizeof printed, "%.1f", 0.5);
    ASSERT_STREQ(printed, "0,5") << "the locale is not in force";
    for (const FloatCase& row : kFloatCases)
        EXPECT_EQ(floatToText(row.value), row.text) << row.name;
}

TEST(FloatToTextSpecial, NotANumberIsWrittenAsNan)
{
    EXPECT_EQ(floatToText(std::numeric_limits<float>::quiet_NaN()), "nan");
}

TEST(CellTexts, FiveColumnsInListOrder)
{
    collect::HoldingRecord record;
    record.code = "600519";
    record.name = gbk("贵州茅台");
    record.price = 1800.5F;
    record.ratio = 12.75F;
    record.repeatCount = 3;
    record.link = "http://example.test/sh600519.html";
    const collect::CellRow expected{"600519", gbk("贵州茅台"), "1800.5", "12.75", "3"};
    EXPECT_EQ(cellTexts(record), expected);
}

TEST(CellTexts, MissingCodeAndNameGiveEmptyCellsOthersFilled)
{
    collect::HoldingRecord record;
    record.price = 0.0F;
    record.ratio = 4.1F;
    record.repeatCount = 1;
    const collect::CellRow expected{"", "", "0", "4.1", "1"};
    EXPECT_EQ(cellTexts(record), expected);
}

TEST(CellTexts, CountIsPlainDecimal)
{
    collect::HoldingRecord record;
    record.repeatCount = -7;
    EXPECT_EQ(cellTexts(record)[4], "-7");
    record.repeatCount = 1234567;
    EXPECT_EQ(cellTexts(record)[4], "1234567");
}

}  // namespace
}  // namespace corvelle::view

// The texts behind the results list's context menu: the funds holding a stock, the copied row, and the
// overlap matrix's cells, shades and headers on a hand-computed case of three funds.
#include "view/fund_details.h"

#include "tests/collect/analysis_fixtures.h"
#include "view/cell_texts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace corvelle::view {
namespace {

using collect::FundHolding;
using collect::FundInfo;
using collect::FundOutcome;
using testing::gbk;

TEST(FundHolders, OneEntryPerSourceInAnalysisOrderWithTheFundsFacts)
{
    collect::HoldingRecord record{"600519", gbk("贵州茅台"), 11.0F, 4, "/sh600519.html", 1800.5F};
    // 002264 lists the stock in two rows (two share classes); 999999 is not among the run's facts.
    record.sources = {{"481010", 5.5F}, {"002264", 4.0F}, {"002264", 1.5F}, {"999999", 0.125F}};
    const std::vector<FundInfo> funds{
        {"002264", gbk("华夏乐享"), "2026-06-30", FundOutcome::HoldingsRead, {}},
        {"481010", gbk("工银中小盘"), "2026-09-30", FundOutcome::HoldingsRead, {}},
        {"519999", gbk("债券"), "", FundOutcome::NoHoldingsTable, {}},
    };
    EXPECT_EQ(fundHolders(record, funds),
              (std::vector<FundHolder>{{"481010", gbk("工银中小盘"), "5.5%", "2026-09-30"},
                                       {"002264", gbk("华夏乐享"), "4%", "2026-06-30"},
                                       {"002264", gbk("华夏乐享"), "1.5%", "2026-06-30"},
                                       {"999999", "", "0.125%", ""}}));
    record.sources.clear();
    EXPECT_TRUE(fundHolders(record, funds).empty());
}

TEST(RowInStep, TheRowMustShowTheRecordsOwnCells)
{
    const collect::HoldingRecord record{"600519", gbk("贵州茅台"), 12.75F, 3, "/sh600519.html", 1800.5F};
    collect::CellRow shown = cellTexts(record);
    EXPECT_TRUE(rowInStep(record, shown));
    shown[4] = "2";  // the same stock, but the list still shows an older table
    EXPECT_FALSE(rowInStep(record, shown));
    EXPECT_FALSE(rowInStep(record, {"600036", gbk("招商银行"), "35.12", "2.5", "1"}));
}

TEST(CopyText, FiveCellsWithATabBetweenEach)
{
    EXPECT_EQ(copyText({"600519", gbk("贵州茅台"), "1800.5", "12.75", "3"}),
              "600519\t" + gbk("贵州茅台") + "\t1800.5\t12.75\t3");
    EXPECT_EQ(copyText({"", "", "0", "4.1", "1"}), "\t\t0\t4.1\t1") << "empty cells keep their place";
}

struct OverlapTextCase {
    const char* name;
    double value;
    const char* text;
};

const OverlapTextCase kOverlapTextCases[] = {
    {"TwoDecimals", 4.25, "4.25"},
    {"Zero", 0.0, "0.00"},
    {"Whole", 13.0, "13.00"},
    {"Hundred", 100.0, "100.00"},
    {"RoundsUp", 1.996, "2.00"},
    {"TinyNegativeRemainderIsZero", -0.004, "0.00"},
    {"NotANumber", std::numeric_limits<double>::quiet_NaN(), "-"},
    {"Infinite", std::numeric_limits<double>::infinity(), "-"},
};

void PrintTo(const OverlapTextCase& param, std::ostream* out)
{
    *out << param.name;
}

class OverlapTextTest : public ::testing::TestWithParam<OverlapTextCase> {};

TEST_P(OverlapTextTest, Writes)
{
    EXPECT_EQ(overlapText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, OverlapTextTest, ::testing::ValuesIn(kOverlapTextCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OverlapText, KeepsThePointUnderADecimalCommaLocale)
{
    const testing::DecimalCommaLocale comma;
    if (!comma.active())
        GTEST_SKIP() << "no decimal-comma locale could be made";
    EXPECT_EQ(overlapText(4.25), "4.25");
}

// Three funds worked out by hand (percentages exact in binary):
//   481010 工银中小盘 (2026-09-30): 贵州茅台 9.5, 腾讯控股 6, 宁德时代 4.25           top ten 19.75
//   002264 华夏乐享   (2026-09-30): 贵州茅台 7, 腾讯控股 8.5, 五粮液 3                top ten 18.5
//   050025 博时标普   (2026-06-30): 五粮液 1.75, 苹果 5, 微软 4.5                     top ten 11.25
//   481010-002264: min(9.5, 7) + min(6, 8.5) = 13;  481010-050025: nothing in common = 0;
//   002264-050025: min(3, 1.75) = 1.75. The common date is 2026-09-30, so 050025 is marked.
std::vector<FundInfo> threeFunds()
{
    return {
        {"481010",
         gbk("工银中小盘"),
         "2026-09-30",
         FundOutcome::HoldingsRead,
         {{gbk("贵州茅台"), 9.5F}, {gbk("腾讯控股"), 6.0F}, {gbk("宁德时代"), 4.25F}}},
        {"519999", gbk("债券"), "", FundOutcome::NoHoldingsTable, {}},
        {"002264",
         gbk("华夏乐享"),
         "2026-09-30",
         FundOutcome::HoldingsRead,
         {{gbk("贵州茅台"), 7.0F}, {gbk("腾讯控股"), 8.5F}, {gbk("五粮液"), 3.0F}}},
        {"050025",
         gbk("博时标普"),
         "2026-06-30",
         FundOutcome::HoldingsRead,
         {{gbk("五粮液"), 1.75F}, {"Apple", 5.0F}, {"Microsoft", 4.5F}}},
    };
}

TEST(OverlapMatrix, HandComputedThreeFundsAsTheWindowShowsThem)
{
    const collect::FundOverlap overlap = collect::fundOverlap(threeFunds());
    ASSERT_EQ(overlap.size(), 3U);
    const std::vector<std::vector<std::string>> expected{
        {"19.75", "13.00", "0.00"},
        {"13.00", "18.50", "1.75"},
        {"0.00", "1.75", "11.25"},
    };
    std::vector<std::vector<std::string>> texts(3, std::vector<std::string>(3));
    for (std::size_t a = 0; a < 3; ++a)
        for (std::size_t b = 0; b < 3; ++b)
            texts[a][b] = overlapText(overlap.at(a, b));
    EXPECT_EQ(texts, expected);

    EXPECT_EQ(overlapRowHeader(overlap.funds[0]), "481010 " + gbk("工银中小盘") + "\n2026-09-30");
    EXPECT_EQ(overlapRowHeader(overlap.funds[2]), gbk("※ 050025 博时标普\n2026-06-30"));
    EXPECT_EQ(overlapMarkLegend(overlap), gbk("※ 持仓截止日期与多数基金（2026-09-30）不同"));
    EXPECT_EQ(overlapDateWarning(overlap), gbk("注意：各基金持仓截止日期不同"));

    // The largest fund's own total is the darkest cell; a pair with nothing in common the lightest.
    const double largest = largestOverlap(overlap);
    EXPECT_EQ(largest, 19.75);
    EXPECT_EQ(overlapShade(overlap.at(0, 0), largest), 1.0);
    EXPECT_EQ(overlapShade(overlap.at(0, 2), largest), 0.0);
    EXPECT_DOUBLE_EQ(overlapShade(overlap.at(0, 1), largest), 13.0 / 19.75);
}

TEST(OverlapMatrix, SameDatesMarkNothingAndAFundWithoutNameOrDateSaysSo)
{
    std::vector<FundInfo> funds = threeFunds();
    funds[3].asOfDate = "2026-09-30";
    const collect::FundOverlap overlap = collect::fundOverlap(funds);
    EXPECT_EQ(overlapMarkLegend(overlap), "");
    EXPECT_EQ(overlapDateWarning(overlap), "");
    EXPECT_EQ(overlapRowHeader(overlap.funds[2]), "050025 " + gbk("博时标普") + "\n2026-09-30");

    EXPECT_EQ(overlapRowHeader({"110011", "", "", false}), gbk("110011\n截止日期不详"));
    EXPECT_EQ(overlapRowHeader({"110011", "", "", true}), gbk("※ 110011\n截止日期不详"));
}

TEST(OverlapShade, ValueOverTheLargestClampedAndZeroWhenNothingIsHeld)
{
    EXPECT_DOUBLE_EQ(overlapShade(5.0, 20.0), 0.25);
    EXPECT_EQ(overlapShade(30.0, 20.0), 1.0);
    EXPECT_EQ(overlapShade(-1.0, 20.0), 0.0);
    EXPECT_EQ(overlapShade(0.0, 0.0), 0.0) << "funds whose rows held no percentage";
    EXPECT_EQ(overlapShade(std::nan(""), 20.0), 0.0);
    collect::FundOverlap empty;
    EXPECT_EQ(largestOverlap(empty), 0.0);
}

TEST(OverlapColours, LightToDarkWithReadableText)
{
    EXPECT_EQ(overlapCellColour(0.0), 0xFCF7F2U);  // red 242, green 247, blue 252
    EXPECT_EQ(overlapCellColour(1.0), 0x6B3008U);  // red 8, green 48, blue 107
    EXPECT_EQ(overlapCellColour(2.0), overlapCellColour(1.0));
    // Every channel darkens step by step from the lightest to the darkest.
    unsigned int previous = overlapCellColour(0.0);
    for (int step = 1; step <= 10; ++step) {
        const unsigned int colour = overlapCellColour(step / 10.0);
        for (unsigned int shift : {0U, 8U, 16U})
            EXPECT_LT((colour >> shift) & 0xFFU, (previous >> shift) & 0xFFU) << "step " << step;
        previous = colour;
    }
    EXPECT_EQ(overlapTextColour(0.0), 0x000000U);
    EXPECT_EQ(overlapTextColour(1.0), 0xFFFFFFU);
}

}  // namespace
}  // namespace corvelle::view

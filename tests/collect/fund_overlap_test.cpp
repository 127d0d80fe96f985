// Overlap by weight between funds, the most common as-of date, and the funds marked for another date.
#include "collect/fund_overlap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace corvelle::collect {
namespace {

FundInfo fund(const std::string& code, const std::string& date, std::vector<FundHolding> holdings,
              FundOutcome outcome = FundOutcome::HoldingsRead)
{
    return FundInfo{code, "Fund " + code, date, outcome, std::move(holdings)};
}

// Three funds worked out by hand (percentages chosen to be exact in binary, so the sums are exact):
//   P: Moutai 9.5, Tencent 6, CATL 4.25, CMB 2                          top ten 21.75
//   Q: Moutai 7, Tencent 8.5, Wuliangye 3, CMB in two rows 1 + 1.5      top ten 21
//   R: Wuliangye 1.75, Apple 5, Microsoft 4.5                           top ten 11.25
//   P-Q: min(9.5, 7) + min(6, 8.5) + min(2, 1 + 1.5) = 7 + 6 + 2 = 15
//   P-R: nothing in common = 0
//   Q-R: min(3, 1.75) = 1.75
std::vector<FundInfo> threeFunds()
{
    return {
        fund("110011", "2026-09-30", {{"Moutai", 9.5F}, {"Tencent", 6.0F}, {"CATL", 4.25F}, {"CMB", 2.0F}}),
        fund("481010", "2026-09-30",
             {{"Moutai", 7.0F}, {"CMB", 1.0F}, {"Tencent", 8.5F}, {"Wuliangye", 3.0F}, {"CMB", 1.5F}}),
        fund("002264", "2026-06-30", {{"Wuliangye", 1.75F}, {"Apple", 5.0F}, {"Microsoft", 4.5F}}),
    };
}

TEST(FundOverlap, HandComputedThreeFunds)
{
    const FundOverlap overlap = fundOverlap(threeFunds());
    ASSERT_EQ(overlap.size(), 3U);
    const std::vector<std::vector<double>> expected = {
        {21.75, 15.0, 0.0},
        {15.0, 21.0, 1.75},
        {0.0, 1.75, 11.25},
    };
    EXPECT_EQ(overlap.cells, expected);
    EXPECT_EQ(overlap.at(0, 2), 0.0) << "a pair with nothing in common";
    EXPECT_EQ(overlap.at(1, 1), 21.0) << "the diagonal is the fund's top-ten total, both CMB rows included";
}

TEST(FundOverlap, OnlyFundsThatYieldedHoldingsTakePart)
{
    std::vector<FundInfo> funds = threeFunds();
    funds.insert(funds.begin() + 1, fund("999999", "", {}, FundOutcome::PageNotFetched));
    funds.push_back(fund("110017", "2026-09-30", {}, FundOutcome::NoHoldingsTable));
    // A fund whose table had rows, none of them titled: it takes part with nothing.
    funds.push_back(fund("200003", "2026-09-30", {}));

    const FundOverlap overlap = fundOverlap(funds);
    const std::vector<OverlapFund> expectedFunds = {
        {"110011", "Fund 110011", "2026-09-30", false},
        {"481010", "Fund 481010", "2026-09-30", false},
        {"002264", "Fund 002264", "2026-06-30", true},
        {"200003", "Fund 200003", "2026-09-30", false},
    };
    EXPECT_EQ(overlap.funds, expectedFunds);
    const std::vector<std::vector<double>> expected = {
        {21.75, 15.0, 0.0, 0.0},
        {15.0, 21.0, 1.75, 0.0},
        {0.0, 1.75, 11.25, 0.0},
        {0.0, 0.0, 0.0, 0.0},
    };
    EXPECT_EQ(overlap.cells, expected);
}

TEST(FundOverlap, NoFundsGiveAnEmptyMatrix)
{
    const FundOverlap overlap = fundOverlap({fund("999999", "", {}, FundOutcome::PageNotFetched)});
    EXPECT_EQ(overlap.size(), 0U);
    EXPECT_TRUE(overlap.cells.empty());
    EXPECT_EQ(overlap.commonDate, "");
    EXPECT_FALSE(overlap.anyDateDiffers());
}

TEST(FundOverlap, PercentagesAddUpInDoublePrecisionAndPairsAreSymmetric)
{
    // In float, 16777216 + 1 + 1 stays 16777216.
    const std::vector<FundInfo> funds = {
        fund("000001", "", {{"A", 16777216.0F}, {"B", 1.0F}, {"C", 1.0F}}),
        fund("000002", "", {{"C", 0.1F}, {"B", 9.87F}, {"D", 0.3F}, {"A", 1.23F}}),
        fund("000003", "", {{"D", 0.7F}, {"B", 3.33F}, {"C", 0.2F}}),
    };
    const FundOverlap overlap = fundOverlap(funds);
    ASSERT_EQ(overlap.size(), 3U);
    EXPECT_EQ(overlap.at(0, 0), 16777218.0);
    EXPECT_DOUBLE_EQ(overlap.at(0, 1), static_cast<double>(1.23F) + 1.0 + static_cast<double>(0.1F));
    EXPECT_DOUBLE_EQ(overlap.at(1, 2),
                     static_cast<double>(0.1F) + static_cast<double>(3.33F) + static_cast<double>(0.3F));
    for (std::size_t a = 0; a < 3; ++a)
        for (std::size_t b = 0; b < 3; ++b)
            EXPECT_EQ(overlap.at(a, b), overlap.at(b, a)) << a << "," << b;
    EXPECT_EQ(holdingsOverlap(funds[1].holdings, funds[2].holdings), overlap.at(1, 2));
}

struct DateCase {
    const char* name;
    std::vector<FundInfo> funds;
    std::string expectedCommon;
    std::vector<bool> expectedDiffers;  // per fund of the matrix
};

TEST(FundOverlap, MostCommonDateAndTheFundsThatDiffer)
{
    const auto dated = [](const std::string& date, FundOutcome outcome = FundOutcome::HoldingsRead) {
        return fund("000000", date, {{"A", 1.0F}}, outcome);
    };
    const std::vector<DateCase> cases = {
        {"the majority wins",
         {dated("2026-09-30"), dated("2026-06-30"), dated("2026-09-30")},
         "2026-09-30",
         {false, true, false}},
        {"an older majority wins too",
         {dated("2026-06-30"), dated("2026-09-30"), dated("2026-06-30")},
         "2026-06-30",
         {false, true, false}},
        {"a tie goes to the latest date",
         {dated("2026-09-30"), dated("2026-06-30")},
         "2026-09-30",
         {false, true}},
        {"a tie goes to the latest date whatever the order",
         {dated("2026-06-30"), dated("2026-09-30"), dated("2026-03-31")},
         "2026-09-30",
         {true, false, true}},
        {"empty dates do not vote but are marked",
         {dated(""), dated(""), dated("2026-06-30")},
         "2026-06-30",
         {true, true, false}},
        {"no fund has a date: nothing is marked", {dated(""), dated("")}, "", {false, false}},
        {"all the same: nothing is marked",
         {dated("2026-09-30"), dated("2026-09-30")},
         "2026-09-30",
         {false, false}},
        {"funds without holdings do not vote",
         {dated("2026-03-31", FundOutcome::NoHoldingsTable),
          dated("2026-03-31", FundOutcome::NoHoldingsTable), dated("2026-09-30"),
          dated("2026-03-31", FundOutcome::PageNotFetched)},
         "2026-09-30",
         {false}},
        {"dates compare byte for byte",
         {dated("2026-09-30"), dated("2026-09-30 "), dated("2026-09-30")},
         "2026-09-30",
         {false, true, false}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mostCommonDate(c.funds), c.expectedCommon) << c.name;
        const FundOverlap overlap = fundOverlap(c.funds);
        EXPECT_EQ(overlap.commonDate, c.expectedCommon) << c.name;
        std::vector<bool> differs;
        for (const OverlapFund& f : overlap.funds) {
            differs.push_back(f.dateDiffers);
            EXPECT_EQ(f.dateDiffers, dateDiffers(f.asOfDate, overlap.commonDate)) << c.name;
        }
        EXPECT_EQ(differs, c.expectedDiffers) << c.name;
        const bool anyDiffers = std::find(differs.begin(), differs.end(), true) != differs.end();
        EXPECT_EQ(overlap.anyDateDiffers(), anyDiffers) << c.name;
    }
}

}  // namespace
}  // namespace corvelle::collect

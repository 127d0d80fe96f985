// The funds behind each merged record: kept in analysis order by the merge, listed one per line.
#include "collect/holding_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvelle::collect {
namespace {

// A record as the scraper stores it: one source, the fund that listed the row.
HoldingRecord parsed(const std::string& fund, const std::string& name, float ratio)
{
    HoldingRecord record;
    record.code = name + "-code";
    record.name = name;
    record.ratio = ratio;
    record.repeatCount = 1;
    record.link = "http://quote.test/" + record.code + ".html";
    record.price = 1.5F;
    record.sources = {{fund, ratio}};
    return record;
}

struct MergedRow {
    std::string name;
    float ratio;
    std::int32_t repeatCount;
    std::vector<FundShare> sources;
};

struct SourcesCase {
    const char* name;
    RecordList holdings;
    std::vector<MergedRow> expected;
};

TEST(MergeHoldingsSources, FoldedRecordsListTheirFundsInAnalysisOrder)
{
    const std::vector<SourcesCase> cases = {
        {"three funds, the stock first listed by the second fund",
         {parsed("481010", "B", 1.0F), parsed("002264", "A", 9.87F), parsed("002264", "B", 2.0F),
          parsed("005827", "A", 0.5F), parsed("005827", "B", 3.0F)},
         {{"B", 6.0F, 3, {{"481010", 1.0F}, {"002264", 2.0F}, {"005827", 3.0F}}},
          {"A",
           static_cast<float>(static_cast<double>(9.87F) + 0.5),
           2,
           {{"002264", 9.87F}, {"005827", 0.5F}}}}},
        {"two rows of one fund with the same name (two share classes) give two entries",
         {parsed("481010", "X", 4.0F), parsed("481010", "Y", 1.0F), parsed("481010", "X", 2.5F),
          parsed("002264", "X", 1.25F)},
         {{"X", 7.75F, 3, {{"481010", 4.0F}, {"481010", 2.5F}, {"002264", 1.25F}}},
          {"Y", 1.0F, 1, {{"481010", 1.0F}}}}},
        {"a record held by one fund keeps its one entry",
         {parsed("481010", "A", 9.87F), parsed("002264", "B", 5.0F)},
         {{"A", 9.87F, 1, {{"481010", 9.87F}}}, {"B", 5.0F, 1, {{"002264", 5.0F}}}}},
        {"a record folded into a merged record brings all of its entries",
         {[] {
              HoldingRecord merged = parsed("481010", "A", 1.0F);
              merged.sources.push_back({"002264", 2.0F});
              return merged;
          }(),
          [] {
              HoldingRecord merged = parsed("005827", "A", 3.0F);
              merged.sources.push_back({"110011", 4.0F});
              return merged;
          }()},
         {{"A", 4.0F, 2, {{"481010", 1.0F}, {"002264", 2.0F}, {"005827", 3.0F}, {"110011", 4.0F}}}}},
    };
    for (const auto& c : cases) {
        RecordList holdings = c.holdings;
        RecordList table;
        mergeHoldings(holdings, table);
        ASSERT_EQ(table.size(), c.expected.size()) << c.name;
        for (std::size_t i = 0; i < table.size(); ++i) {
            const MergedRow& want = c.expected[i];
            EXPECT_EQ(table[i].name, want.name) << c.name;
            EXPECT_EQ(table[i].ratio, want.ratio) << c.name << " " << want.name;
            EXPECT_EQ(table[i].repeatCount, want.repeatCount) << c.name << " " << want.name;
            EXPECT_EQ(table[i].sources, want.sources) << c.name << " " << want.name;
            // The first record of a name keeps its own code and link whatever its sources.
            EXPECT_EQ(table[i].code, want.name + "-code") << c.name;
        }
        EXPECT_EQ(holdings, table) << c.name << ": the table is a copy of the merged holdings";
    }
}

TEST(MergeHoldingsSources, SourcesDoNotChangeRatioCountOrOrder)
{
    // The same holdings with and without sources merge to the same visible rows.
    const RecordList withSources = {parsed("1", "A", 0.1F),        parsed("2", "B", 0.2F),
                                    parsed("3", "A", 0.7F),        parsed("4", "C", 1e-3F),
                                    parsed("5", "B", 16777216.0F), parsed("6", "A", 0.2F)};
    RecordList without = withSources;
    for (auto& r : without)
        r.sources.clear();

    RecordList a = withSources;
    RecordList b = without;
    RecordList tableA;
    RecordList tableB;
    mergeHoldings(a, tableA);
    mergeHoldings(b, tableB);
    ASSERT_EQ(tableA.size(), tableB.size());
    for (std::size_t i = 0; i < tableA.size(); ++i) {
        HoldingRecord visible = tableA[i];
        visible.sources.clear();
        EXPECT_EQ(visible, tableB[i]) << "row " << i + 1;
        EXPECT_EQ(tableA[i].sources.size(), static_cast<std::size_t>(tableA[i].repeatCount))
            << "row " << i + 1;
    }
}

TEST(MergeHoldingsSources, TableKeepsItsSourcesWhenHoldingsChange)
{
    RecordList holdings = {parsed("481010", "A", 1.0F), parsed("002264", "A", 2.0F)};
    RecordList table;
    mergeHoldings(holdings, table);
    holdings[0].sources.clear();
    holdings.clear();
    ASSERT_EQ(table.size(), 1U);
    EXPECT_EQ(table[0].sources, (std::vector<FundShare>{{"481010", 1.0F}, {"002264", 2.0F}}));
}

struct TextCase {
    const char* name;
    std::vector<FundShare> sources;
    std::string expected;
};

TEST(ContributingFundsText, OneLinePerFundWithTheListsFloatFormat)
{
    const std::vector<TextCase> cases = {
        {"no sources", {}, ""},
        {"one fund", {{"481010", 9.87F}}, "481010 9.87%"},
        {"several funds in order, no trailing line break",
         {{"481010", 9.87F}, {"002264", 5.0F}, {"005827", 0.125F}},
         "481010 9.87%\n002264 5%\n005827 0.125%"},
        {"six significant digits, rounded half away from zero", {{"110011", 10.1234567F}}, "110011 10.1235%"},
        {"the same fund twice stays twice",
         {{"481010", 1.5F}, {"481010", 2.25F}},
         "481010 1.5%\n481010 2.25%"},
        {"zero and a large value",
         {{"000001", 0.0F}, {"000002", 1234567.0F}},
         "000001 0%\n000002 1.23457e+06%"},
    };
    for (const auto& c : cases) {
        HoldingRecord record;
        record.sources = c.sources;
        EXPECT_EQ(contributingFundsText(record), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace corvelle::collect

// Folding the holdings of several funds into one record per stock name, and handing a copy to the table.
#include "collect/holding_record.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace corvelle::collect {
namespace {

HoldingRecord record(const std::string& name, float ratio, std::int32_t repeatCount = 1,
                     const std::string& code = "", float price = 0.0F)
{
    HoldingRecord result;
    result.code = code.empty() ? name + "-code" : code;
    result.name = name;
    result.ratio = ratio;
    result.repeatCount = repeatCount;
    result.link = "http://quote.test/" + result.code + ".html";
    result.price = price;
    return result;
}

std::string describe(const RecordList& list)
{
    std::string text;
    for (const auto& r : list)
        text += "[" + r.code + " '" + r.name + "' " + std::to_string(r.ratio) + " x" +
                std::to_string(r.repeatCount) + " " + r.link + " " + std::to_string(r.price) + "] ";
    return text;
}

struct MergeCase {
    const char* name;
    RecordList holdings;
    RecordList expected;
};

TEST(MergeHoldings, Cases)
{
    constexpr float kMax = std::numeric_limits<float>::max();
    const std::vector<MergeCase> cases = {
        {"same name folds into the first, which keeps code, link and price",
         {record("A", 1.5F, 1, "600519", 1688.0F), record("B", 2.0F), record("A", 3.25F, 1, "000001", 9.5F)},
         {record("A", 4.75F, 2, "600519", 1688.0F), record("B", 2.0F)}},
        {"three funds holding one stock",
         {record("X", 1.25F), record("X", 2.5F), record("X", 0.125F)},
         {record("X", 3.875F, 3)}},
        {"case and trailing blanks make different names",
         {record("Abc", 1.0F), record("abc", 2.0F), record("Abc ", 3.0F)},
         {record("Abc", 1.0F), record("abc", 2.0F), record("Abc ", 3.0F)}},
        {"interleaved names keep the order of first occurrence",
         {record("X", 1.0F), record("Y", 2.0F), record("X", 1.0F), record("Y", 2.0F), record("X", 1.0F)},
         {record("X", 3.0F, 3), record("Y", 4.0F, 2)}},
        {"GBK names compare byte for byte",
         {record("\xD6\xD0\xB9\xFA", 1.0F), record("\xD6\xD0\xB9\xFA", 2.0F), record("\xD6\xD0", 4.0F)},
         {record("\xD6\xD0\xB9\xFA", 3.0F, 2), record("\xD6\xD0", 4.0F)}},
        {"a record without a name is dropped when there are others",
         {record("", 5.0F, 1, "x"), record("A", 1.0F), record("", 5.0F, 1, "y")},
         {record("A", 1.0F)}},
        {"a single record is handed over as it is", {record("A", 9.87F)}, {record("A", 9.87F)}},
        {"a single record without a name is kept, as nothing folds",
         {record("", 9.87F, 1, "x")},
         {record("", 9.87F, 1, "x")}},
        {"empty holdings give an empty table", {}, {}},
        {"every fold rounds its sum to float (a sum kept in double would give 16777218)",
         {record("A", 16777216.0F), record("A", 1.0F), record("A", 1.0F)},
         {record("A", 16777216.0F, 3)}},
        {"a sum beyond the float range becomes infinity",
         {record("A", kMax), record("A", kMax)},
         {record("A", std::numeric_limits<float>::infinity(), 2)}},
    };
    for (const auto& c : cases) {
        RecordList holdings = c.holdings;
        // The previous run's records must all go.
        RecordList table = {record("old", 1.0F), record("older", 2.0F)};
        mergeHoldings(holdings, table);
        EXPECT_EQ(table, c.expected) << c.name << "\n got " << describe(table);
        EXPECT_EQ(holdings, c.expected) << c.name << ": holdings keep their merged records";

        // The table holds its own copies: changing or freeing the holdings leaves it unchanged.
        for (auto& r : holdings) {
            r.name += "!";
            r.code.clear();
            r.link.assign(64, 'z');
            r.ratio = -1.0F;
        }
        holdings.clear();
        holdings.shrink_to_fit();
        EXPECT_EQ(table, c.expected) << c.name << ": after the holdings changed";
    }
}

}  // namespace
}  // namespace corvelle::collect

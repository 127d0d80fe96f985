// The three column sorts: descending order, whole records moving together, equal keys, NaN, depth.
#include "view/column_sort.h"

#include "collect/random_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <pthread.h>

namespace corvelle::view {
namespace {

using collect::HoldingRecord;
using collect::RecordList;

// Every field distinct per record, so a record that lost a field on the way shows.
HoldingRecord record(int id, std::int32_t count, float price, float ratio)
{
    HoldingRecord r;
    r.code = "code" + std::to_string(id);
    r.name = "name" + std::to_string(id);
    r.link = "http://example.test/" + std::to_string(id) + ".html";
    r.repeatCount = count;
    r.price = price;
    r.ratio = ratio;
    return r;
}

std::vector<std::string> names(const RecordList& table)
{
    std::vector<std::string> result;
    for (const HoldingRecord& r : table)
        result.push_back(r.name);
    return result;
}

// The records as a sorted multiset, to compare contents regardless of order.
RecordList sortedByName(RecordList table)
{
    std::sort(table.begin(), table.end(),
              [](const HoldingRecord& a, const HoldingRecord& b) { return a.name < b.name; });
    return table;
}

TEST(SortByRepeatCount, OneThreeTwoBecomesThreeTwoOne)
{
    RecordList table{record(1, 1, 0, 0), record(2, 3, 0, 0), record(3, 2, 0, 0)};
    sortByRepeatCount(table, 1, 3);
    EXPECT_EQ(names(table), (std::vector<std::string>{"name2", "name3", "name1"}));
}

TEST(SortByPrice, ZeroPriceGoesAfterEveryPositivePrice)
{
    RecordList table{record(1, 1, 5.5F, 0), record(2, 1, 0.0F, 0), record(3, 1, 12.25F, 0)};
    sortByPrice(table, 1, 3);
    EXPECT_EQ(names(table), (std::vector<std::string>{"name3", "name1", "name2"}));
}

TEST(SortByRatio, LargestFirstEqualRatiosFollowInEitherOrder)
{
    RecordList table{record(1, 1, 0, 4.1F), record(2, 1, 0, 4.1F), record(3, 1, 0, 9.75F)};
    sortByRatio(table, 1, 3);
    EXPECT_EQ(table[0].name, "name3");
    EXPECT_EQ(sortedByName({table[1], table[2]}),
              sortedByName({record(1, 1, 0, 4.1F), record(2, 1, 0, 4.1F)}));
}

TEST(SortByRatio, WholeRecordsMoveTogether)
{
    RecordList table;
    for (int id = 0; id < 30; ++id)
        table.push_back(
            record(id, 30 - id, static_cast<float>(id % 7) * 3.5F, static_cast<float>((id * 11) % 17)));
    const RecordList before = table;
    sortByRatio(table, 1, static_cast<int>(table.size()));
    // Each record keeps its own code, name, link, price and count: the sorted table holds exactly the
    // records it held before, field for field.
    EXPECT_EQ(sortedByName(table), sortedByName(before));
    for (std::size_t i = 1; i < table.size(); ++i)
        EXPECT_GE(table[i - 1].ratio, table[i].ratio) << "at " << i;
}

using SortFunction = void (*)(RecordList&, int, int);

struct KeyedSort {
    const char* name;
    SortFunction sort;
    std::function<double(const HoldingRecord&)> key;
};

class EverySort : public ::testing::TestWithParam<KeyedSort> {};

TEST_P(EverySort, RandomTablesEndInNonIncreasingOrderWithTheSameRecords)
{
    std::mt19937 source(20240331);
    for (int round = 0; round < 50; ++round) {
        collect::seedRandom(static_cast<unsigned>(round));
        const int size = std::uniform_int_distribution<int>(0, 60)(source);
        RecordList table;
        for (int id = 0; id < size; ++id) {
            // Few distinct keys, so equal keys are common, as repeat counts are.
            const int key = std::uniform_int_distribution<int>(0, 6)(source);
            table.push_back(record(id, key, static_cast<float>(key) * 1.25F, static_cast<float>(key) * 0.5F));
        }
        const RecordList before = table;
        GetParam().sort(table, 1, size);
        EXPECT_EQ(sortedByName(table), sortedByName(before));
        for (std::size_t i = 1; i < table.size(); ++i)
            ASSERT_GE(GetParam().key(table[i - 1]), GetParam().key(table[i]))
                << "round " << round << " at " << i;
    }
}

TEST_P(EverySort, EmptyAndOneRecordTablesAreUnchanged)
{
    RecordList empty;
    GetParam().sort(empty, 1, 0);
    EXPECT_TRUE(empty.empty());
    RecordList one{record(1, 2, 3.0F, 4.0F)};
    GetParam().sort(one, 1, 1);
    EXPECT_EQ(one, RecordList{record(1, 2, 3.0F, 4.0F)});
}

TEST_P(EverySort, SortingTwiceStaysDescending)
{
    RecordList table{record(1, 2, 5.5F, 1.0F), record(2, 7, 0.0F, 8.5F), record(3, 4, 12.25F, 3.0F)};
    for (int press = 0; press < 2; ++press) {
        GetParam().sort(table, 1, 3);
        for (std::size_t i = 1; i < table.size(); ++i)
            EXPECT_GE(GetParam().key(table[i - 1]), GetParam().key(table[i])) << "press " << press;
    }
}

TEST_P(EverySort, OnlyTheGivenRangeIsSorted)
{
    RecordList table{record(1, 1, 1.0F, 1.0F), record(2, 2, 2.0F, 2.0F), record(3, 3, 3.0F, 3.0F),
                     record(4, 4, 4.0F, 4.0F)};
    GetParam().sort(table, 2, 3);
    EXPECT_EQ(names(table), (std::vector<std::string>{"name1", "name3", "name2", "name4"}));
}

// A pthread with a small stack: a sort that recursed once per record of an all-equal table would
// overflow it long before 2,000 levels, where the bounded recursion needs a dozen.
constexpr std::size_t kSmallStack = 128 * 1024;

void runOnSmallStack(const std::function<void()>& work)
{
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, kSmallStack), 0);
    pthread_t thread;
    auto call = [](void* argument) -> void* {
        (*static_cast<const std::function<void()>*>(argument))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, call, const_cast<std::function<void()>*>(&work)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

TEST_P(EverySort, TwoThousandEqualKeysNeedNoDeepRecursion)
{
    RecordList table;
    for (int id = 0; id < 2000; ++id)
        table.push_back(record(id, 1, 0.0F, 2.5F));
    const RecordList before = table;
    runOnSmallStack([&] { GetParam().sort(table, 1, static_cast<int>(table.size())); });
    EXPECT_EQ(sortedByName(table), sortedByName(before));
}

TEST_P(EverySort, AlreadySortedLargeTableStaysSorted)
{
    RecordList table;
    for (int id = 0; id < 2000; ++id)
        table.push_back(record(id, 2000 - id, static_cast<float>(2000 - id), static_cast<float>(2000 - id)));
    runOnSmallStack([&] { GetParam().sort(table, 1, static_cast<int>(table.size())); });
    for (std::size_t i = 0; i < table.size(); ++i)
        ASSERT_EQ(table[i].name, "name" + std::to_string(i));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, EverySort,
    ::testing::Values(KeyedSort{"RepeatCount", &sortByRepeatCount,
                                [](const HoldingRecord& r) { return r.repeatCount; }},
                      KeyedSort{"Price", &sortByPrice, [](const HoldingRecord& r) { return r.price; }},
                      KeyedSort{"Ratio", &sortByRatio, [](const HoldingRecord& r) { return r.ratio; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SortByPrice, NotANumberNeverBreaksTheOrderOfTheOtherPrices)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (unsigned seed = 0; seed < 40; ++seed) {
        collect::seedRandom(seed);
        RecordList table{record(1, 1, 3.0F, 0), record(2, 1, nan, 0), record(3, 1, 5.0F, 0),
                         record(4, 1, 1.0F, 0), record(5, 1, nan, 0), record(6, 1, 12.25F, 0),
                         record(7, 1, 0.0F, 0), record(8, 1, 5.0F, 0)};
        const RecordList before = table;
        sortByPrice(table, 1, static_cast<int>(table.size()));
        // NaN records compare equal to nothing; they may stand anywhere, but every record keeps its
        // fields and the numbers among them still read largest first.
        std::vector<float> numbers;
        for (const HoldingRecord& r : table) {
            if (!std::isnan(r.price))
                numbers.push_back(r.price);
        }
        EXPECT_EQ(numbers, (std::vector<float>{12.25F, 5.0F, 5.0F, 3.0F, 1.0F, 0.0F})) << "seed " << seed;
        ASSERT_EQ(table.size(), before.size());
        EXPECT_EQ(std::count_if(table.begin(), table.end(),
                                [](const HoldingRecord& r) { return std::isnan(r.price); }),
                  2);
    }
}

TEST(SortByPrice, EqualPricesAreReshuffledByTheRandomPivots)
{
    // Equal keys have no defined order; with random pivots, different seeds give different orders.
    RecordList start;
    for (int id = 0; id < 12; ++id)
        start.push_back(record(id, 1, 7.0F, 0));
    std::vector<std::vector<std::string>> orders;
    for (unsigned seed = 1; seed <= 8; ++seed) {
        collect::seedRandom(seed);
        RecordList table = start;
        sortByPrice(table, 1, static_cast<int>(table.size()));
        orders.push_back(names(table));
    }
    std::sort(orders.begin(), orders.end());
    EXPECT_GT(std::unique(orders.begin(), orders.end()) - orders.begin(), 1);
}

}  // namespace
}  // namespace corvelle::view

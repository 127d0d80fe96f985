// One quicksort over three keys: a random pivot and a single-scan partition, descending.
#include "view/column_sort.h"

#include "collect/random_source.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace corvelle::view {

namespace {

using collect::HoldingRecord;
using collect::RecordList;

// Records are addressed 1-based, as the table's positions are everywhere else.
HoldingRecord& at(RecordList& table, int position)
{
    return table[static_cast<std::size_t>(position - 1)];
}

void swapRecords(RecordList& table, int a, int b)
{
    if (a != b)
        std::swap(at(table, a), at(table, b));
}

// Partitions first..last around a randomly drawn pivot; returns the pivot's final position. Every
// record before it has a greater key, every record after it a key that is not greater.
template <typename KeyOf> int partition(RecordList& table, int first, int last, KeyOf keyOf)
{
    swapRecords(table, first, collect::drawBetween(first, last));
    int greaterEnd = first;
    for (int i = first + 1; i <= last; ++i) {
        // Strictly greater: equal keys and NaNs stay where the scan leaves them.
        if (keyOf(at(table, i)) > keyOf(at(table, first))) {
            ++greaterEnd;
            swapRecords(table, greaterEnd, i);
        }
    }
    swapRecords(table, first, greaterEnd);
    return greaterEnd;
}

// Sorts the smaller side by recursion and the larger one in this loop, so the depth stays below
// log2(n) even for a table of equal keys, where every partition leaves one side empty.
template <typename KeyOf> void quickSortDescending(RecordList& table, int first, int last, KeyOf keyOf)
{
    first = std::max(first, 1);
    last = std::min(last, static_cast<int>(table.size()));
    while (first < last) {
        const int pivot = partition(table, first, last, keyOf);
        if (pivot - first < last - pivot) {
            quickSortDescending(table, first, pivot - 1, keyOf);
            first = pivot + 1;
        } else {
            quickSortDescending(table, pivot + 1, last, keyOf);
            last = pivot - 1;
        }
    }
}

}  // namespace

void sortByRepeatCount(RecordList& table, int first, int last)
{
    quickSortDescending(table, first, last, [](const HoldingRecord& r) { return r.repeatCount; });
}

void sortByPrice(RecordList& table, int first, int last)
{
    quickSortDescending(table, first, last, [](const HoldingRecord& r) { return r.price; });
}

void sortByRatio(RecordList& table, int first, int last)
{
    quickSortDescending(table, first, last, [](const HoldingRecord& r) { return r.ratio; });
}

}  // namespace corvelle::view

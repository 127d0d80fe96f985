// The three column sorts of the results table: descending by repeat count, price or ratio.
#pragma once

#include "collect/holding_record.h"

namespace corvelle::view {

// Each sorts the records at the 1-based positions first to last, both included, largest key first,
// by swapping whole records. Records with equal keys end in no defined order: the pivots are drawn
// from the program's random generator. A float key that is not a number is never greater than another,
// so such a record is never moved forward by its own comparison. Positions outside the table are
// clamped to it.
void sortByRepeatCount(collect::RecordList& table, int first, int last);
void sortByPrice(collect::RecordList& table, int first, int last);
void sortByRatio(collect::RecordList& table, int first, int last);

}  // namespace corvelle::view

// The one record type (a stock held by a fund, or after the merge by several) and the merge by name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvelle::collect {

struct HoldingRecord {
    std::string code;              // stock code derived from link
    std::string name;              // stock name as the fund's table gives it; the merge key
    float ratio = 0.0F;            // holding percentage; after the merge the sum over funds
    std::int32_t repeatCount = 0;  // 1 when parsed; after the merge the number of funds holding it
    std::string link;              // the stock's page, as the fund page gave it
    float price = 0.0F;            // current price from the quote service, 0 when none

    friend bool operator==(const HoldingRecord&, const HoldingRecord&) = default;
};

// Ordered records; position k (1-based) is element k - 1. The ResultTable is one of these.
using RecordList = std::vector<HoldingRecord>;

// Folds holdings in place by name (first occurrence keeps code, link and price; ratios summed in double
// precision and rounded to float; counts added), drops emptied records, then replaces table with a copy.
void mergeHoldings(RecordList& holdings, RecordList& table);

}  // namespace corvelle::collect

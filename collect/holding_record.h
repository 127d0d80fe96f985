// The one record type (a stock held by a fund, or after the merge by several) and the merge by name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvelle::collect {

// One fund's part in a record: the fund's code and its holding percentage of the stock.
struct FundShare {
    std::string fundCode;
    float ratio = 0.0F;

    friend bool operator==(const FundShare&, const FundShare&) = default;
};

struct HoldingRecord {
    std::string code;              // stock code derived from link
    std::string name;              // stock name as the fund's table gives it; the merge key
    float ratio = 0.0F;            // holding percentage; after the merge the sum over funds
    std::int32_t repeatCount = 0;  // 1 when parsed; after the merge the number of funds holding it
    std::string link;              // the stock's page, as the fund page gave it
    float price = 0.0F;            // current price from the quote service, 0 when none
    // The funds behind the record in analysis order: one entry when parsed, every folded record's after
    // the merge. Not shown in the list's cells nor written by the exports. The "{}" lets initialisers that
    // name only the six fields above go without a missing-initialiser warning.
    std::vector<FundShare> sources{};

    friend bool operator==(const HoldingRecord&, const HoldingRecord&) = default;
};

// Ordered records; position k (1-based) is element k - 1. The ResultTable is one of these.
using RecordList = std::vector<HoldingRecord>;

// Folds holdings in place by name (first occurrence keeps code, link and price; ratios summed in double
// precision and rounded to float; counts added; the folded records' sources appended in order), drops
// emptied records, then replaces table with a copy.
void mergeHoldings(RecordList& holdings, RecordList& table);

// The record's contributing funds, one line per source ("481010 9.87%", the ratio as the list writes
// floats), joined with "\n"; empty when the record has no sources.
[[nodiscard]] std::string contributingFundsText(const HoldingRecord& record);

}  // namespace corvelle::collect

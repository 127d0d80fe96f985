// How much the top-ten holdings of the funds of a run overlap, and which funds' as-of dates stand apart.
#pragma once

#include "collect/fund_scraper.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace corvelle::collect {

// One fund of the overlap matrix, as its row and column header show it.
struct OverlapFund {
    std::string code;
    std::string name;
    std::string asOfDate;
    bool dateDiffers = false;  // its as-of date is not the most common one of the matrix's funds

    friend bool operator==(const OverlapFund&, const OverlapFund&) = default;
};

// The overlap by weight of every pair of funds that yielded holdings, in analysis order.
struct FundOverlap {
    std::vector<OverlapFund> funds;
    // cells[a][b]: the sum, over the stocks (by name) that funds a and b both hold, of the smaller of the
    // two percentages; cells[a][a] is fund a's top-ten total. Symmetric.
    std::vector<std::vector<double>> cells;
    std::string commonDate;  // the most common as-of date of the funds; empty when none has a date

    [[nodiscard]] std::size_t size() const { return funds.size(); }
    [[nodiscard]] double at(std::size_t row, std::size_t column) const { return cells[row][column]; }
    // True when at least one fund's as-of date is not the common one.
    [[nodiscard]] bool anyDateDiffers() const;
};

// The overlap of two funds' holdings: for each stock name both hold, the smaller of the two percentages,
// summed in double precision. A stock a fund lists in several rows counts with the sum of those rows.
[[nodiscard]] double holdingsOverlap(const std::vector<FundHolding>& first,
                                     const std::vector<FundHolding>& second);

// The as-of date most of the funds with outcome HoldingsRead carry, among those that carry one. On a tie
// the latest date wins, taken as the greatest text (dates are written year first). Empty when none has a
// date.
[[nodiscard]] std::string mostCommonDate(const std::vector<FundInfo>& funds);

// True when a fund's date is to be marked: a common date exists and the fund's date is another one (an
// empty date included).
[[nodiscard]] bool dateDiffers(std::string_view asOfDate, std::string_view commonDate);

// The matrix over the funds with outcome HoldingsRead, in the order given.
[[nodiscard]] FundOverlap fundOverlap(const std::vector<FundInfo>& funds);

}  // namespace corvelle::collect

// How much the top-ten holdings of the funds of a run overlap, and which funds' as-of dates stand apart.
#include "collect/fund_overlap.h"

#include <algorithm>
#include <map>
#include <utility>

namespace corvelle::collect {

namespace {

// A fund's percentage per stock name; a name listed in several rows (two share classes, say) counts once
// with the sum of its rows.
std::map<std::string, double> percentagesByName(const std::vector<FundHolding>& holdings)
{
    std::map<std::string, double> byName;
    for (const FundHolding& holding : holdings)
        byName[holding.stockName] += static_cast<double>(holding.ratio);
    return byName;
}

double overlapOf(const std::map<std::string, double>& first, const std::map<std::string, double>& second)
{
    double sum = 0.0;
    for (const auto& [name, percentage] : first) {
        const auto other = second.find(name);
        if (other != second.end())
            sum += std::min(percentage, other->second);
    }
    return sum;
}

}  // namespace

bool FundOverlap::anyDateDiffers() const
{
    return std::any_of(funds.begin(), funds.end(), [](const OverlapFund& fund) { return fund.dateDiffers; });
}

double holdingsOverlap(const std::vector<FundHolding>& first, const std::vector<FundHolding>& second)
{
    return overlapOf(percentagesByName(first), percentagesByName(second));
}

std::string mostCommonDate(const std::vector<FundInfo>& funds)
{
    std::map<std::string, int> counts;
    for (const FundInfo& fund : funds)
        if (fund.outcome == FundOutcome::HoldingsRead && !fund.asOfDate.empty())
            ++counts[fund.asOfDate];
    // The map walks the dates in ascending order, so ">=" lets the later of two equal counts win.
    std::string common;
    int best = 0;
    for (const auto& [date, count] : counts) {
        if (count >= best) {
            best = count;
            common = date;
        }
    }
    return common;
}

bool dateDiffers(std::string_view asOfDate, std::string_view commonDate)
{
    return !commonDate.empty() && asOfDate != commonDate;
}

FundOverlap fundOverlap(const std::vector<FundInfo>& funds)
{
    FundOverlap overlap;
    overlap.commonDate = mostCommonDate(funds);
    std::vector<std::map<std::string, double>> percentages;
    for (const FundInfo& fund : funds) {
        if (fund.outcome != FundOutcome::HoldingsRead)
            continue;
        overlap.funds.push_back(
            {fund.code, fund.name, fund.asOfDate, dateDiffers(fund.asOfDate, overlap.commonDate)});
        percentages.push_back(percentagesByName(fund.holdings));
    }
    const std::size_t n = percentages.size();
    overlap.cells.assign(n, std::vector<double>(n, 0.0));
    // Each pair is summed once and mirrored, so (a, b) and (b, a) show the very same value.
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t b = a; b < n; ++b) {
            const double value = overlapOf(percentages[a], percentages[b]);
            overlap.cells[a][b] = value;
            overlap.cells[b][a] = value;
        }
    }
    return overlap;
}

}  // namespace corvelle::collect

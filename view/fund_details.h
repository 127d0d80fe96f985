// The texts and shades behind the results list's context menu: the funds holding a stock, the copied
// row, and the cells and headers of the fund overlap matrix. No toolkit here; the widgets only show them.
#pragma once

#include "collect/fund_overlap.h"
#include "collect/fund_scraper.h"
#include "collect/holding_record.h"
#include "collect/ui_ports.h"

#include <string>
#include <vector>

namespace corvelle::view {

// One fund holding a stock, as the 持有基金 dialog lists it.
struct FundHolder {
    std::string code;
    std::string name;      // empty when the fund's page had none
    std::string ratio;     // the fund's percentage of the stock as the list writes floats, with "%"
    std::string asOfDate;  // empty when the fund's page had none

    friend bool operator==(const FundHolder&, const FundHolder&) = default;
};

// The funds behind a record, one per source in analysis order (a fund that lists the stock in two rows
// appears twice), with name and as-of date from the run's facts of that fund when there are any.
[[nodiscard]] std::vector<FundHolder> fundHolders(const collect::HoldingRecord& record,
                                                  const std::vector<collect::FundInfo>& funds);

// True when a list row showing shown is the record's row: the list then is in step with the table there
// (a sort reorders the table at once and the list only when its refill arrives).
[[nodiscard]] bool rowInStep(const collect::HoldingRecord& record, const collect::CellRow& shown);

// The five cell texts joined with TAB, as the 复制 entry puts a row on the clipboard.
[[nodiscard]] std::string copyText(const collect::CellRow& cells);

// An overlap percentage with two decimals ("4.25", "0.00"), whatever the process locale; "-" for a value
// that is not a finite number.
[[nodiscard]] std::string overlapText(double value);

// How dark a matrix cell is, from 0 (lightest) to 1 (darkest): value over the largest value of the
// matrix, clamped; 0 when the matrix holds nothing above zero.
[[nodiscard]] double overlapShade(double value, double largest);
// The largest finite cell of the matrix (a diagonal one: no overlap exceeds a fund's own total); 0 for
// none.
[[nodiscard]] double largestOverlap(const collect::FundOverlap& overlap);

// A cell's background at a shade, a 0x00BBGGRR colour: from a very light to a dark blue.
[[nodiscard]] unsigned int overlapCellColour(double shade);
// The text colour that stays readable on that background (0x00BBGGRR): white on the darker half.
[[nodiscard]] unsigned int overlapTextColour(double shade);

// A fund's row header (GBK): "code name" and below it the as-of date, or "截止日期不详" when the page
// had none; the whole header starts with the mark "※ " when the fund's date is not the common one.
[[nodiscard]] std::string overlapRowHeader(const collect::OverlapFund& fund);
// What the mark means (GBK): "※ 持仓截止日期与多数基金（<common date>）不同"; empty when nothing is marked.
[[nodiscard]] std::string overlapMarkLegend(const collect::FundOverlap& overlap);
// The line under the matrix when any fund's date differs (GBK): "注意：各基金持仓截止日期不同"; empty
// otherwise.
[[nodiscard]] std::string overlapDateWarning(const collect::FundOverlap& overlap);

}  // namespace corvelle::view

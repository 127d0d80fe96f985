// The 基金重合度 window: how much the top-ten holdings of the last run's funds overlap, pair by pair.
#pragma once

#include "collect/fund_overlap.h"

#include <QWidget>

namespace corvelle::view {

// A top-level window titled "基金重合度" over the matrix of the funds that yielded holdings: cell (A, B)
// the overlap with two decimals, shaded light to dark by value, the diagonal (bold) each fund's top-ten
// total; row headers with code, name and as-of date, the funds whose date is not the common one marked,
// and then a legend and the line "注意：各基金持仓截止日期不同" under the matrix. objectNames: the window
// "窗口_基金重合度", its table "表格_基金重合度", the legend "标签_截止日期说明", the line
// "标签_截止日期提示" (both hidden when no date differs).
class FundOverlapWindow final : public QWidget {
    Q_OBJECT

public:
    explicit FundOverlapWindow(const collect::FundOverlap& overlap, QWidget* parent = nullptr);
};

}  // namespace corvelle::view

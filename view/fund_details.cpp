// The funds holding a stock, the copied row, and the overlap matrix's texts and shades.
#include "view/fund_details.h"

#include "collect/charset.h"
#include "view/cell_texts.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>

namespace corvelle::view {

namespace {

// The two ends of the matrix's shading, red, green and blue: a blue so light that black reads on it
// and one dark enough for white.
constexpr std::array<double, 3> kLightest{242.0, 247.0, 252.0};
constexpr std::array<double, 3> kDarkest{8.0, 48.0, 107.0};
// From this shade on the cell is dark enough that white text reads better than black.
constexpr double kLightTextFrom = 0.55;

unsigned int bgr(unsigned int red, unsigned int green, unsigned int blue)
{
    return red | (green << 8) | (blue << 16);
}

}  // namespace

std::vector<FundHolder> fundHolders(const collect::HoldingRecord& record,
                                    const std::vector<collect::FundInfo>& funds)
{
    std::vector<FundHolder> holders;
    holders.reserve(record.sources.size());
    for (const collect::FundShare& share : record.sources) {
        FundHolder holder{share.fundCode, {}, floatToText(share.ratio) + '%', {}};
        const auto fund = std::find_if(funds.begin(), funds.end(), [&share](const collect::FundInfo& info) {
            return info.code == share.fundCode;
        });
        if (fund != funds.end()) {
            holder.name = fund->name;
            holder.asOfDate = fund->asOfDate;
        }
        holders.push_back(std::move(holder));
    }
    return holders;
}

bool rowInStep(const collect::HoldingRecord& record, const collect::CellRow& shown)
{
    return cellTexts(record) == shown;
}

std::string copyText(const collect::CellRow& cells)
{
    std::string text;
    for (std::size_t column = 0; column < cells.size(); ++column) {
        if (column > 0)
            text += '\t';
        text += cells[column];
    }
    return text;
}

std::string overlapText(double value)
{
    if (!std::isfinite(value))
        return "-";
    std::array<char, 64> buffer{};
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 2);
    if (error != std::errc())
        return "-";
    std::string text(buffer.data(), end);
    // A tiny negative rounding remainder would otherwise show as "-0.00".
    if (text == "-0.00")
        text = "0.00";
    return text;
}

double overlapShade(double value, double largest)
{
    if (!std::isfinite(value) || !std::isfinite(largest) || largest <= 0.0)
        return 0.0;
    return std::clamp(value / largest, 0.0, 1.0);
}

double largestOverlap(const collect::FundOverlap& overlap)
{
    double largest = 0.0;
    for (const std::vector<double>& row : overlap.cells) {
        for (double value : row) {
            if (std::isfinite(value))
                largest = std::max(largest, value);
        }
    }
    return largest;
}

unsigned int overlapCellColour(double shade)
{
    const double at = std::isfinite(shade) ? std::clamp(shade, 0.0, 1.0) : 0.0;
    std::array<unsigned int, 3> channels{};
    for (std::size_t i = 0; i < channels.size(); ++i)
        channels[i] =
            static_cast<unsigned int>(std::lround(kLightest[i] + (kDarkest[i] - kLightest[i]) * at));
    return bgr(channels[0], channels[1], channels[2]);
}

unsigned int overlapTextColour(double shade)
{
    return shade >= kLightTextFrom ? bgr(255, 255, 255) : bgr(0, 0, 0);
}

std::string overlapRowHeader(const collect::OverlapFund& fund)
{
    static const std::string kMark = collect::utf8ToGbk("※ ");
    static const std::string kNoDate = collect::utf8ToGbk("截止日期不详");
    std::string header = fund.dateDiffers ? kMark : std::string();
    header += fund.code;
    if (!fund.name.empty()) {
        header += ' ';
        header += fund.name;
    }
    header += '\n';
    header += fund.asOfDate.empty() ? kNoDate : fund.asOfDate;
    return header;
}

std::string overlapMarkLegend(const collect::FundOverlap& overlap)
{
    static const std::string kBefore = collect::utf8ToGbk("※ 持仓截止日期与多数基金（");
    static const std::string kAfter = collect::utf8ToGbk("）不同");
    if (!overlap.anyDateDiffers())
        return {};
    return kBefore + overlap.commonDate + kAfter;
}

std::string overlapDateWarning(const collect::FundOverlap& overlap)
{
    static const std::string kWarning = collect::utf8ToGbk("注意：各基金持仓截止日期不同");
    return overlap.anyDateDiffers() ? kWarning : std::string();
}

}  // namespace corvelle::view

// Reading the code box and walking its codes through the scraper.
#include "collect/analysis_run.h"

#include "collect/charset.h"
#include "collect/number_text.h"
#include "collect/text_rules.h"

#include <algorithm>
#include <cstddef>

namespace corvelle::collect {

namespace {

constexpr std::size_t kCodeLength = 6;

}  // namespace

std::vector<std::string> splitCodeLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t lineStart = 0;
    std::size_t index = 0;
    while (index < text.size()) {
        if (text[index] == '\r' && index + 1 < text.size() && text[index + 1] == '\n') {
            lines.emplace_back(text.substr(lineStart, index - lineStart));
            index += 2;
            lineStart = index;
        } else {
            // A two-byte character is stepped over whole, so its second byte never starts a separator.
            index += isLeadByte(static_cast<unsigned char>(text[index])) ? 2 : 1;
        }
    }
    if (lineStart < text.size())
        lines.emplace_back(text.substr(lineStart));
    return lines;
}

int removeDuplicateLines(std::vector<std::string>& lines)
{
    std::vector<std::string> kept;
    kept.reserve(lines.size());
    for (std::string& line : lines) {
        if (std::find(kept.begin(), kept.end(), line) == kept.end())
            kept.push_back(std::move(line));
    }
    lines = std::move(kept);
    return static_cast<int>(lines.size());
}

bool isAnalysedLine(std::string_view line)
{
    return line.size() == kCodeLength;
}

std::string progressCaption(double fraction, std::string_view line)
{
    static const std::string kParsing = utf8ToGbk(" , 解析基金代码 ");
    static const std::string kUnderWay = utf8ToGbk(" 中…… ");
    std::string caption = formatProgressPercent(fraction);
    caption += kParsing;
    caption += line;
    caption += kUnderWay;
    return caption;
}

const std::string& fundOutcomeText(FundOutcome outcome)
{
    static const std::string kRead = utf8ToGbk("已读取持仓");
    static const std::string kNoTable = utf8ToGbk("无股票持仓表");
    static const std::string kNotFetched = utf8ToGbk("页面未能获取");
    switch (outcome) {
    case FundOutcome::HoldingsRead:
        return kRead;
    case FundOutcome::NoHoldingsTable:
        return kNoTable;
    case FundOutcome::PageNotFetched:
        break;
    }
    return kNotFetched;
}

std::string runSummary(const std::vector<FundInfo>& funds)
{
    std::string summary;
    for (const FundInfo& fund : funds) {
        if (!summary.empty())
            summary += '\n';
        summary += fund.code;
        summary += ' ';
        summary += fundOutcomeText(fund.outcome);
    }
    return summary;
}

bool collectHoldings(std::string_view codeBoxText, FundScraper& scraper,
                     const std::function<void(const std::string& caption)>& showProgress,
                     const std::atomic<bool>& stop)
{
    std::vector<std::string> lines = splitCodeLines(codeBoxText);
    const int count = removeDuplicateLines(lines);
    for (int i = 1; i <= count; ++i) {
        if (stop.load())
            return false;
        const std::string& line = lines[static_cast<std::size_t>(i - 1)];
        if (!isAnalysedLine(line))
            continue;
        showProgress(progressCaption(static_cast<double>(i) / count, line));
        if (scraper.fetchFund(line))
            scraper.parseHoldings();
    }
    return !stop.load();
}

}  // namespace corvelle::collect

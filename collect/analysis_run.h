// The steps of one analysis run that need neither the table nor the window: reading the code box,
// dropping repeated lines, walking the codes through one FundScraper with progress captions, and the
// summary of what each fund gave.
#pragma once

#include "collect/fund_scraper.h"

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvelle::collect {

// The code box's text cut at every CR LF (never inside a two-byte character). Each piece in front of
// a separator is a line, an empty one too; the piece after the last separator only when it is not
// empty, so a final line break adds no line and an empty text gives none.
[[nodiscard]] std::vector<std::string> splitCodeLines(std::string_view text);

// Keeps the first occurrence of every line (bytes compared exactly) in its place; returns the count.
int removeDuplicateLines(std::vector<std::string>& lines);

// Only lines of exactly six bytes are fetched; nothing else is checked, so six letters are fetched too.
[[nodiscard]] bool isAnalysedLine(std::string_view line);

// The progress label's text while line is fetched: the percentage of fraction done, " , 解析基金代码 ",
// the line, " 中…… " (GBK).
[[nodiscard]] std::string progressCaption(double fraction, std::string_view line);

// Reads the codes of codeBoxText, drops repeats, and for each six-byte line i of n shows the caption
// for i / n, then has the scraper fetch the fund and, when its page has holdings, parse them. Returns
// false when stop turned true before the last line was done (the caller then skips the merge).
// What reading a fund's page gave, as the run summary words it (GBK): "已读取持仓", "无股票持仓表" or
// "页面未能获取".
[[nodiscard]] const std::string& fundOutcomeText(FundOutcome outcome);

// The run summary shown as the progress label's tooltip: one line per analysed fund in analysis order,
// its code, a space and its outcome text, joined with "\n" (GBK); empty when no code was analysed.
[[nodiscard]] std::string runSummary(const std::vector<FundInfo>& funds);

bool collectHoldings(std::string_view codeBoxText, FundScraper& scraper,
                     const std::function<void(const std::string& caption)>& showProgress,
                     const std::atomic<bool>& stop);

}  // namespace corvelle::collect

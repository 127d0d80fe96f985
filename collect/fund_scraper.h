// FundScraper: fetches a fund's page, cuts out its top-ten holdings, prices each row, notes each fund's
// facts (name, as-of date, outcome), merges the rows.
#pragma once

#include "collect/holding_record.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvelle::collect {

// Where the two web services live. The fund site's base ends in "/", the quote service's does not.
struct ServiceAddresses {
    std::string fundSiteBase = "http://127.0.0.1:18731/";
    std::string quoteService = "http://127.0.0.1:18731";
};

// Reads a web resource as GBK text, empty on failure. The real one wraps fetchText; tests may stub it.
using TextFetcher = std::function<std::string(const std::string& url)>;

// What reading one fund's page gave.
enum class FundOutcome {
    HoldingsRead,     // the page has a holdings section with at least one row
    NoHoldingsTable,  // a page came, but without a holdings section or without a row in it
    PageNotFetched,   // no page text at all: refused, timed out, or an empty body
};

// One row a fund's own table gave, kept per fund because the merge folds the rows of all funds in place.
struct FundHolding {
    std::string stockName;  // as the row's title gives it
    float ratio = 0.0F;     // the row's percentage

    friend bool operator==(const FundHolding&, const FundHolding&) = default;
};

// The facts of one fund, one per fetchFund call.
struct FundInfo {
    std::string code;
    std::string name;      // from the page's title; empty when it has none
    std::string asOfDate;  // the holdings' as-of date as the page writes it; empty when absent
    FundOutcome outcome = FundOutcome::PageNotFetched;
    std::vector<FundHolding> holdings{};  // what parseHoldings stored for this fund, in page order
};

// The text after the page's first "持仓截止日期:" up to the end of its line or the next tag, without
// leading and trailing blanks (the ideographic space included); empty when the page lacks the line. A
// text longer than a date could be is cut to its first 64 bytes, on a character boundary.
[[nodiscard]] std::string asOfDateOfPage(std::string_view page);

// The fund's name from the page's <title>: the trimmed title up to a following "(<six digits>)" or a site
// suffix introduced by "_", "|", "｜", "—" or " - "; the whole title when neither follows a name. Brackets
// without the code stay, as names like "...混合(LOF)A" carry them. Empty when the page has no title. At most
// 256 bytes, cut on a character boundary.
[[nodiscard]] std::string fundNameOfPage(std::string_view page);

class FundScraper {
public:
    FundScraper(ServiceAddresses addresses, TextFetcher fetcher);

    // Fetches the fund's page, keeps its holdings section and notes the fund's facts in funds(); true when
    // the section holds a row.
    bool fetchFund(const std::string& code);
    // Reads up to ten rows of the kept section into holdings, each priced at once and with the last fetched
    // fund as its one source; the same rows go to that fund's entry in funds().
    void parseHoldings();
    // The stock code in a stock link ("/sh600519.html" gives "600519", ".../unify/r/1.600519" too).
    [[nodiscard]] std::string stockCodeFromLink(const std::string& link) const;
    // The current price of the stock behind a link; 0 when none could be read.
    float fetchPrice(const std::string& link);
    // Folds holdings by name and replaces table with the result.
    void mergeInto(RecordList& table);

    [[nodiscard]] const std::string& pageText() const { return m_pageText; }
    [[nodiscard]] const RecordList& holdings() const { return m_holdings; }
    [[nodiscard]] const std::string& quoteUrlPrefix() const { return m_quoteUrlPrefix; }
    // Every fund fetched so far, in call order, with what its page gave and the rows read from it.
    [[nodiscard]] const std::vector<FundInfo>& funds() const { return m_funds; }

private:
    // One web read through the fetcher; anything but an http(s) address gives the empty text.
    [[nodiscard]] std::string fetch(const std::string& url) const;

    std::string m_pageText;
    std::string m_rowStartMarker;
    std::string m_rowEndMarker;
    RecordList m_holdings;
    std::string m_quoteUrlPrefix;
    ServiceAddresses m_addresses;
    TextFetcher m_fetch;
    std::vector<FundInfo> m_funds;
};

}  // namespace corvelle::collect

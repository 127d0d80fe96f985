// FundScraper: fetches a fund's page, cuts out its top-ten holdings, prices each row, merges them.
#pragma once

#include "collect/holding_record.h"

#include <functional>
#include <string>

namespace corvelle::collect {

// Where the two web services live. The fund site's base ends in "/", the quote service's does not.
struct ServiceAddresses {
    std::string fundSiteBase = "http://127.0.0.1:18731/";
    std::string quoteService = "http://127.0.0.1:18731";
};

// Reads a web resource as GBK text, empty on failure. The real one wraps fetchText; tests may stub it.
using TextFetcher = std::function<std::string(const std::string& url)>;

class FundScraper {
public:
    FundScraper(ServiceAddresses addresses, TextFetcher fetcher);

    // Fetches the fund's page, keeps its holdings section; true when the section holds a row.
    bool fetchFund(const std::string& code);
    // Reads up to ten rows of the kept section into holdings, each priced at once.
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

private:
    std::string m_pageText;
    std::string m_rowStartMarker;
    std::string m_rowEndMarker;
    RecordList m_holdings;
    std::string m_quoteUrlPrefix;
    ServiceAddresses m_addresses;
    TextFetcher m_fetch;
};

}  // namespace corvelle::collect

// Feeds arbitrary page bytes to the fund page scraper: the section cut and the row walk must never
// crash, hang or read more than ten rows. Quotes are answered by a stub, so no network is touched.
#include "collect/fund_scraper.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string page(reinterpret_cast<const char*>(data), size);
    int fetches = 0;
    corvelle::collect::FundScraper scraper({"http://fund.test/", "http://quote.test"},
                                           [&](const std::string& url) -> std::string {
                                               ++fetches;
                                               if (url == "http://fund.test/000001.html")
                                                   return page;
                                               // Quote replies and US stock pages.
                                               return "{\"data\":{\"f43\":12.5,\"f57\":\"1\"}} var market = \"105\";";
                                           });
    if (scraper.fetchFund("000001"))
        scraper.parseHoldings();
    if (scraper.holdings().size() > 10)
        std::abort();
    corvelle::collect::RecordList table;
    scraper.mergeInto(table);
    if (table.size() > scraper.holdings().size())
        std::abort();
    return 0;
}

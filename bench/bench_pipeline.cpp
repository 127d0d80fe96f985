// Converting and parsing one real-size fund page (about 500 KB of UTF-8), and quote requests per
// second against the sample site with no latency.
#include "collect/charset.h"
#include "collect/fund_scraper.h"
#include "collect/http_client.h"
#include "tools/sample-site/sample_site.h"

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <memory>
#include <string>
#include <thread>

namespace {

using corvelle::collect::FundScraper;

// The largest fund page the sample site renders, as UTF-8.
const std::string& largePage()
{
    static const std::string page = [] {
        auto loaded = corvelle::samplesite::loadSiteData(corvelle::samplesite::sourceDataFolder());
        std::string largest;
        for (const auto& fund : loaded.data->funds) {
            std::string html = corvelle::samplesite::renderFundPage(fund, *loaded.data, "127.0.0.1:18731");
            if (html.size() > largest.size())
                largest = std::move(html);
        }
        return largest;
    }();
    return page;
}

const char* kQuoteReply = "{\"rc\":0,\"data\":{\"f43\":1528.80,\"f57\":\"600519\",\"f58\":\"x\"}}";

void convertPage(benchmark::State& state)
{
    const std::string& page = largePage();
    for (auto _ : state)
        benchmark::DoNotOptimize(corvelle::collect::utf8ToGbk(page));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
    state.counters["page_bytes"] = static_cast<double>(page.size());
}
BENCHMARK(convertPage)->Unit(benchmark::kMicrosecond);

void cutAndParsePage(benchmark::State& state)
{
    const std::string gbk = corvelle::collect::utf8ToGbk(largePage());
    for (auto _ : state) {
        FundScraper scraper({"http://127.0.0.1:18731/", "http://127.0.0.1:18731"},
                            [&](const std::string& url) {
                                return url.ends_with(".html") ? gbk : std::string(kQuoteReply);
                            });
        if (scraper.fetchFund("005827"))
            scraper.parseHoldings();
        benchmark::DoNotOptimize(scraper.holdings().size());
    }
}
BENCHMARK(cutAndParsePage)->Unit(benchmark::kMicrosecond);

void convertCutAndParsePage(benchmark::State& state)
{
    const std::string& page = largePage();
    for (auto _ : state) {
        FundScraper scraper({"http://127.0.0.1:18731/", "http://127.0.0.1:18731"},
                            [&](const std::string& url) {
                                return url.ends_with(".html") ? corvelle::collect::utf8ToGbk(page)
                                                              : std::string(kQuoteReply);
                            });
        if (scraper.fetchFund("005827"))
            scraper.parseHoldings();
        benchmark::DoNotOptimize(scraper.holdings().size());
    }
}
BENCHMARK(convertCutAndParsePage)->Unit(benchmark::kMicrosecond);

void quoteRequests(benchmark::State& state)
{
    auto loaded = corvelle::samplesite::loadSiteData(corvelle::samplesite::sourceDataFolder());
    httplib::Server server;
    corvelle::samplesite::registerSampleSite(server,
                                             std::make_shared<corvelle::samplesite::SiteData>(*loaded.data));
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread thread([&] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::yield();
    const std::string url = "http://127.0.0.1:" + std::to_string(port) +
                            "/api/qt/stock/get?ut=3e9b0c71d2a84f56b1e07c9d4a2f6e83&fltt=2&fields=f43,f57,f58"
                            "&secid=1.600519";
    for (auto _ : state)
        benchmark::DoNotOptimize(corvelle::collect::fetchText(url));
    state.SetItemsProcessed(state.iterations());
    server.stop();
    thread.join();
}
BENCHMARK(quoteRequests)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

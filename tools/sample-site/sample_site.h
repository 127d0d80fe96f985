// The bundled sample fund site and quote service: its data set, the pages it renders, and its handlers.
#pragma once

#include <httplib.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvelle::samplesite {

// How a fund page writes its holding links: an absolute address of the stock's page on this site
// ("http://HOST/sh600519.html"), or protocol-relative with market number and code
// ("//HOST/unify/r/1.600519").
enum class LinkStyle { Page, Unify };

// What a fund page looks like around its holdings table.
enum class PageKind {
    Normal,     // a page of ordinary size
    Large,      // about 500 KB: the table among big inline scripts and other tables
    NoTable,    // no stock holdings table at all (a bond fund)
    DateFirst,  // the holdings table, but its as-of date line stands before it and nowhere after
};

// Market numbers of the quote service.
inline constexpr std::string_view kShenzhen = "0";
inline constexpr std::string_view kShanghai = "1";
inline constexpr std::string_view kHongKong = "116";
inline constexpr std::string_view kNasdaq = "105";
inline constexpr std::string_view kNewYork = "106";

struct Stock {
    std::string market;  // "0", "1", "116", "105" or "106"
    std::string code;    // "600519", "00700", "AAPL"
    std::string name;    // UTF-8
    std::string price;   // as the quote service writes f43: a decimal number, or "-" when there is none

    [[nodiscard]] bool isUs() const { return market == kNasdaq || market == kNewYork; }
};

struct Holding {
    std::string market;
    std::string code;
    std::string percentCell;  // the percentage cell as shown: "9.87%", "-%" or "-"
    bool hasTitle = true;     // false: the link lacks its title attribute
};

struct Fund {
    std::string code;  // six digits
    std::string name;  // UTF-8
    LinkStyle links = LinkStyle::Page;
    PageKind page = PageKind::Normal;
    std::string asOfDate;           // the holdings' as-of date the page shows, "YYYY-MM-DD"
    std::vector<Holding> holdings;  // in page order
};

struct SiteData {
    std::vector<Stock> stocks;
    std::vector<Fund> funds;

    [[nodiscard]] const Fund* findFund(std::string_view code) const;
    [[nodiscard]] const Stock* findStock(std::string_view market, std::string_view code) const;
    // The one stock with this code in any market; nothing when none or several have it.
    [[nodiscard]] const Stock* findStockByCode(std::string_view code) const;
};

struct LoadResult {
    std::optional<SiteData> data;
    std::string error;  // "file:line: what is wrong" when data is empty
};

// Reads stocks.tsv, funds.tsv and holdings.tsv from folder and checks that they fit together.
[[nodiscard]] LoadResult loadSiteData(const std::filesystem::path& folder);

// The data folder in the source tree this program was built from.
[[nodiscard]] std::filesystem::path sourceDataFolder();

// The path of a stock's own page on this site: "/sh600519.html", "/sz000858.html", "/hk/00700.html",
// "/us/AAPL.html".
[[nodiscard]] std::string stockPagePath(const Stock& stock);

// A holding link as a fund page writes it; host is "host:port" as the request reached the site.
[[nodiscard]] std::string holdingLink(const Stock& stock, LinkStyle style, std::string_view host);

// The UTF-8 HTML of a fund's page.
[[nodiscard]] std::string renderFundPage(const Fund& fund, const SiteData& data, std::string_view host);

// The quote service's JSON reply for a secid ("market.code"): data null unless both name a stock, as a
// reply for a request without a market number must not hide a market the reader failed to find. The price
// member f43 always comes before f57.
[[nodiscard]] std::string quoteReply(const SiteData& data, std::string_view secid);

struct ServeOptions {
    std::chrono::milliseconds latency{0};  // slept before every request is answered
};

// Registers every page of the site on server. The links in fund pages name the host and port the request
// came to, so the same pages work on any port.
void registerSampleSite(httplib::Server& server, const std::shared_ptr<const SiteData>& data,
                        ServeOptions options = {});

}  // namespace corvelle::samplesite

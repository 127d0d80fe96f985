// The bundled sample site, served in-process: the real FundScraper reads every fund page to exactly the
// records its data files describe; quote replies, stock pages, 404 pages and the data loader's checks.
#include "collect/charset.h"
#include "collect/fund_scraper.h"
#include "collect/http_client.h"
#include "collect/web_address.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_server.h"
#include "tools/sample-site/sample_site.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace corvelle::collect {
namespace {

using samplesite::Fund;
using samplesite::Holding;
using samplesite::LinkStyle;
using samplesite::PageKind;
using samplesite::SiteData;
using samplesite::Stock;

constexpr std::size_t kRowsPerFund = 10;

const SiteData& siteData()
{
    static const SiteData data = [] {
        samplesite::LoadResult loaded = samplesite::loadSiteData(samplesite::sourceDataFolder());
        if (!loaded.data) {
            ADD_FAILURE() << loaded.error;
            return SiteData{};
        }
        return std::move(*loaded.data);
    }();
    return data;
}

// A number as the scraper reads it from a page or reply: the leading decimal number, 0 when none.
float leadingNumber(const std::string& text)
{
    return static_cast<float>(std::strtod(text.c_str(), nullptr));
}

bool endsWithPercent(const std::string& cell)
{
    return !cell.empty() && cell.back() == '%';
}

struct ExpectedScrape {
    bool hasRows = false;
    RecordList records;
};

// What reading a fund's page must give, from the data files alone. A row is read from its link up to the
// next cell that ends in "%": a cell without "%" makes the row take the following row's percentage (and,
// were it untitled, the following row's title).
ExpectedScrape expectedScrape(const Fund& fund, const SiteData& data, const std::string& host)
{
    ExpectedScrape expected;
    if (fund.page == PageKind::NoTable || fund.page == PageKind::DateFirst)
        return expected;
    const std::vector<Holding>& rows = fund.holdings;
    expected.hasRows = std::any_of(rows.begin(), rows.end(),
                                   [](const Holding& h) { return endsWithPercent(h.percentCell); });
    for (std::size_t i = 0; i < rows.size() && i < kRowsPerFund; ++i) {
        std::size_t last = i;
        while (last < rows.size() && !endsWithPercent(rows[last].percentCell))
            ++last;
        if (last == rows.size())
            break;
        auto titled = std::find_if(rows.begin() + static_cast<std::ptrdiff_t>(i),
                                   rows.begin() + static_cast<std::ptrdiff_t>(last) + 1,
                                   [](const Holding& h) { return h.hasTitle; });
        if (titled == rows.begin() + static_cast<std::ptrdiff_t>(last) + 1)
            continue;
        const Stock& stock = *data.findStock(rows[i].market, rows[i].code);
        const std::string& cell = rows[last].percentCell;
        HoldingRecord record;
        record.code = stock.code;
        record.name = utf8ToGbk(data.findStock(titled->market, titled->code)->name);
        record.ratio = leadingNumber(cell.substr(0, cell.size() - 1));
        record.repeatCount = 1;
        record.link = samplesite::holdingLink(stock, fund.links, host);
        record.price = stock.price == "-" ? 0.0F : leadingNumber(stock.price);
        expected.records.push_back(std::move(record));
    }
    return expected;
}

class SampleSiteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(siteData().funds.empty());
        samplesite::registerSampleSite(m_server.server(), std::make_shared<const SiteData>(siteData()));
        m_server.start();
    }
    void TearDown() override { m_server.stop(); }

    [[nodiscard]] std::string host() const { return "127.0.0.1:" + std::to_string(m_server.port()); }
    [[nodiscard]] std::string url(const std::string& path) const { return m_server.baseUrl() + path; }

    corvelle::testing::TestServer m_server;
};

TEST_F(SampleSiteTest, ScraperReadsEveryFundAsItsDataSays)
{
    const SiteData& data = siteData();
    const ServiceAddresses addresses{m_server.baseUrl() + "/", m_server.baseUrl()};
    for (const Fund& fund : data.funds) {
        SCOPED_TRACE("fund " + fund.code);
        const ExpectedScrape expected = expectedScrape(fund, data, host());
        FundScraper scraper(addresses, [](const std::string& address) { return fetchText(address); });

        ASSERT_EQ(scraper.fetchFund(fund.code), expected.hasRows);
        if (expected.hasRows)
            scraper.parseHoldings();

        const RecordList& records = scraper.holdings();
        ASSERT_EQ(records.size(), expected.records.size());
        for (std::size_t i = 0; i < records.size(); ++i) {
            const HoldingRecord& got = records[i];
            const HoldingRecord& want = expected.records[i];
            SCOPED_TRACE("row " + std::to_string(i + 1) + " " + gbkToUtf8(want.name));
            EXPECT_EQ(gbkToUtf8(got.name), gbkToUtf8(want.name));
            EXPECT_EQ(got.code, want.code);
            EXPECT_FLOAT_EQ(got.ratio, want.ratio);
            EXPECT_EQ(got.repeatCount, 1);
            EXPECT_EQ(got.link, want.link);
            EXPECT_FLOAT_EQ(got.price, want.price);
        }
    }
}

TEST_F(SampleSiteTest, UnknownFundCodeIsAPlain404)
{
    const ServiceAddresses addresses{m_server.baseUrl() + "/", m_server.baseUrl()};
    FundScraper scraper(addresses, [](const std::string& address) { return fetchText(address); });
    EXPECT_FALSE(scraper.fetchFund("999999"));
    EXPECT_TRUE(scraper.holdings().empty());
}

TEST_F(SampleSiteTest, QuoteReplyCarriesEveryStocksPriceBeforeItsCode)
{
    for (const Stock& stock : siteData().stocks) {
        const std::string secid = stock.market + "." + stock.code;
        const std::string reply = fetchText(
            url("/api/qt/stock/get?ut=3e9b0c71d2a84f56b1e07c9d4a2f6e83&fltt=2&fields=f43,f57,f58&secid=" +
                secid));
        const std::string price = stock.price == "-" ? "\"-\"" : stock.price;
        EXPECT_NE(reply.find("\"data\":{\"f43\":" + price + ",\"f57\":\"" + stock.code + "\",\"f58\":\"" +
                             utf8ToGbk(stock.name) + "\"}"),
                  std::string::npos)
            << secid << ": " << gbkToUtf8(reply);
    }
}

TEST_F(SampleSiteTest, QuoteReplyWithoutAStockHasNoData)
{
    for (const char* secid : {"1.999999", "1.000858", ".600519", "1.", ".", "", "600519", "105.00700"}) {
        const std::string reply =
            fetchText(url("/api/qt/stock/get?ut=x&fltt=2&fields=f43,f57,f58&secid=" + std::string(secid)));
        EXPECT_NE(reply.find("\"rc\":0"), std::string::npos) << secid;
        EXPECT_NE(reply.find("\"data\":null}"), std::string::npos) << secid << ": " << reply;
        EXPECT_EQ(reply.find("\"f43\":"), std::string::npos) << secid;
    }
}

TEST_F(SampleSiteTest, EveryStockPageNamesItsMarket)
{
    for (const Stock& stock : siteData().stocks) {
        const std::string marker = "var market = \"" + stock.market + "\";";
        for (LinkStyle style : {LinkStyle::Page, LinkStyle::Unify}) {
            const std::string address =
                resolveLink(samplesite::holdingLink(stock, style, host()), m_server.baseUrl() + "/");
            const FetchResult page = httpGet(address);
            EXPECT_EQ(page.status, 200) << address;
            EXPECT_NE(page.body.find(marker), std::string::npos) << address;
        }
    }
}

TEST_F(SampleSiteTest, UnknownAddressesAreAPlain404)
{
    const std::string holdingsMarker = utf8ToGbk("持仓占比");
    for (const char* path :
         {"/999999.html", "/00582.html", "/sh999999.html", "/sz600519.html", "/hk/99999.html",
          "/us/ZZZZ.html", "/us/00700.html", "/unify/r/1.000858", "/unify/r/7.600519", "/nothing",
          "/../tools/sample-site/data/funds.tsv", "/005827.html/x"}) {
        const FetchResult result = httpGet(url(path));
        EXPECT_EQ(result.status, 404) << path;
        EXPECT_NE(result.body.find("404"), std::string::npos) << path;
        EXPECT_EQ(utf8ToGbk(result.body).find(holdingsMarker), std::string::npos) << path;
    }
}

TEST_F(SampleSiteTest, LinksNameTheHostTheRequestCameTo)
{
    httplib::Client client("127.0.0.1", m_server.port());
    const auto named = client.Get("/005827.html", {{"Host", "funds.example:8080"}});
    ASSERT_TRUE(named) << httplib::to_string(named.error());
    EXPECT_NE(named->body.find("href=\"http://funds.example:8080/sh600519.html\""), std::string::npos);

    // A Host that is no plain host[:port] never reaches the page; the address the request reached does.
    const auto odd = client.Get("/110011.html", {{"Host", "a\"><script>x</script>"}});
    ASSERT_TRUE(odd) << httplib::to_string(odd.error());
    EXPECT_EQ(odd->body.find("<script>x"), std::string::npos);
    EXPECT_NE(odd->body.find("href=\"//" + host() + "/unify/r/0.000858\""), std::string::npos);
}

TEST_F(SampleSiteTest, LargePagesHideTheHoldingsAmongScriptsAndTables)
{
    const std::string start = "持仓占比";
    const std::string end = "持仓截止日期:";
    int largePages = 0;
    for (const Fund& fund : siteData().funds) {
        if (fund.page != PageKind::Large)
            continue;
        ++largePages;
        const FetchResult page = httpGet(url("/" + fund.code + ".html"));
        const std::string& body = page.body;
        EXPECT_GE(body.size(), 450U * 1024) << fund.code;
        const std::size_t from = body.find(start);
        const std::size_t to = body.find(end, from);
        ASSERT_NE(from, std::string::npos) << fund.code;
        ASSERT_NE(to, std::string::npos) << fund.code;
        EXPECT_NE(body.rfind("<script", from), std::string::npos) << fund.code;
        EXPECT_NE(body.find("<script", to), std::string::npos) << fund.code;
        EXPECT_NE(body.rfind("%</td>", from), std::string::npos) << fund.code << ": no other table before";
    }
    EXPECT_GE(largePages, 3);
}

// The data set keeps every case the scraper must meet; editing it must not quietly drop one.
TEST(SampleSiteData, CoversEveryCase)
{
    const SiteData& data = siteData();
    std::map<std::string, int> fundsHolding;
    std::set<std::string> markets;
    std::set<LinkStyle> styles;
    std::set<PageKind> pages;
    bool moreThanTen = false;
    bool untitled = false;
    bool dashWithPercent = false;
    bool dashAlone = false;
    for (const Fund& fund : data.funds) {
        styles.insert(fund.links);
        pages.insert(fund.page);
        moreThanTen = moreThanTen || fund.holdings.size() > kRowsPerFund;
        for (const Holding& holding : fund.holdings) {
            ++fundsHolding[holding.market + "." + holding.code];
            markets.insert(holding.market);
            untitled = untitled || !holding.hasTitle;
            dashWithPercent = dashWithPercent || holding.percentCell == "-%";
            dashAlone = dashAlone || holding.percentCell == "-";
        }
    }
    EXPECT_GE(data.funds.size(), 15U);
    EXPECT_GE(std::count_if(fundsHolding.begin(), fundsHolding.end(),
                            [](const auto& entry) { return entry.second >= 5; }),
              3);
    EXPECT_EQ(markets, (std::set<std::string>{"0", "1", "116", "105", "106"}));
    EXPECT_EQ(styles.size(), 2U);
    EXPECT_EQ(pages.size(), 4U);
    EXPECT_TRUE(moreThanTen);
    EXPECT_TRUE(untitled);
    EXPECT_TRUE(dashWithPercent);
    EXPECT_TRUE(dashAlone);
    EXPECT_TRUE(std::any_of(data.stocks.begin(), data.stocks.end(), [&](const Stock& s) {
        return s.price == "-" && fundsHolding.contains(s.market + "." + s.code);
    }));
}

TEST(SampleSiteData, LinksHaveTheShapesTheScraperKnows)
{
    const auto stock = [](const char* market, const char* code) { return Stock{market, code, "x", "1"}; };
    const std::string host = "127.0.0.1:18731";
    EXPECT_EQ(samplesite::holdingLink(stock("1", "600519"), LinkStyle::Page, host),
              "http://127.0.0.1:18731/sh600519.html");
    EXPECT_EQ(samplesite::holdingLink(stock("0", "000858"), LinkStyle::Page, host),
              "http://127.0.0.1:18731/sz000858.html");
    EXPECT_EQ(samplesite::holdingLink(stock("116", "00700"), LinkStyle::Page, host),
              "http://127.0.0.1:18731/hk/00700.html");
    EXPECT_EQ(samplesite::holdingLink(stock("105", "AAPL"), LinkStyle::Page, host),
              "http://127.0.0.1:18731/us/AAPL.html");
    EXPECT_EQ(samplesite::holdingLink(stock("1", "600519"), LinkStyle::Unify, host),
              "//127.0.0.1:18731/unify/r/1.600519");
    EXPECT_EQ(samplesite::holdingLink(stock("106", "LLY"), LinkStyle::Unify, host),
              "//127.0.0.1:18731/unify/r/106.LLY");
}

struct BrokenDataCase {
    const char* name;
    const char* file;  // the file replaced
    std::string content;
    const char* where;  // what the error must name
};

void PrintTo(const BrokenDataCase& c, std::ostream* out)
{
    *out << c.name;
}

class SampleSiteDataErrors : public ::testing::TestWithParam<BrokenDataCase> {};

TEST_P(SampleSiteDataErrors, NameFileAndLine)
{
    const corvelle::testing::TempDir folder;
    corvelle::testing::writeFileBytes(folder.file("stocks.tsv"),
                                      "# market code name price\n1\t600519\t贵州茅台\t1528.80\n");
    corvelle::testing::writeFileBytes(folder.file("funds.tsv"), "005827\t易方达蓝筹精选混合\tpage\tnormal\n");
    corvelle::testing::writeFileBytes(folder.file("holdings.tsv"), "005827\t1.600519\t9.85%\n");
    ASSERT_TRUE(samplesite::loadSiteData(folder.path()).data.has_value());

    const BrokenDataCase& c = GetParam();
    if (c.content.empty())
        std::filesystem::remove(folder.file(c.file));
    else
        corvelle::testing::writeFileBytes(folder.file(c.file), c.content);
    const samplesite::LoadResult loaded = samplesite::loadSiteData(folder.path());

    EXPECT_FALSE(loaded.data.has_value());
    EXPECT_NE(loaded.error.find(c.where), std::string::npos) << loaded.error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SampleSiteDataErrors,
    ::testing::Values(
        BrokenDataCase{"MissingFile", "holdings.tsv", "", "holdings.tsv"},
        BrokenDataCase{"TooFewFields", "stocks.tsv", "1\t600519\t贵州茅台\n", "stocks.tsv:1"},
        BrokenDataCase{"UnknownMarket", "stocks.tsv", "\n7\t600519\t贵州茅台\t1.0\n", "stocks.tsv:2"},
        BrokenDataCase{"CodeInTwoMarkets", "stocks.tsv", "1\t600519\tA\t1\n0\t600519\tB\t2\n",
                       "stocks.tsv:2"},
        BrokenDataCase{"PriceNotANumber", "stocks.tsv", "1\t600519\t贵州茅台\tabc\n", "stocks.tsv:1"},
        BrokenDataCase{"NameNeedsEscaping", "stocks.tsv", "1\t600519\t贵州\"茅台\t1\n", "stocks.tsv:1"},
        BrokenDataCase{"FundCodeNotSixDigits", "funds.tsv", "05827\tX\tpage\tnormal\n", "funds.tsv:1"},
        BrokenDataCase{"UnknownLinkStyle", "funds.tsv", "005827\tX\tframe\tnormal\n", "funds.tsv:1"},
        BrokenDataCase{"UnknownStock", "holdings.tsv", "005827\t0.600519\t9.85%\n", "holdings.tsv:1"},
        BrokenDataCase{"UnknownFund", "holdings.tsv", "# x\n000001\t1.600519\t9.85%\n", "holdings.tsv:2"},
        BrokenDataCase{"PercentCellNotANumber", "holdings.tsv", "005827\t1.600519\tabc%\n", "holdings.tsv:1"},
        BrokenDataCase{"UnknownFlag", "holdings.tsv", "005827\t1.600519\t9.85%\tbold\n", "holdings.tsv:1"}),
    [](const ::testing::TestParamInfo<BrokenDataCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvelle::collect

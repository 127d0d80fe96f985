// The fund page scraper against a real HTTP server on 127.0.0.1, read through the real fetchText.
#include "collect/fund_scraper.h"

#include "collect/charset.h"
#include "collect/http_client.h"
#include "tests/support/test_server.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace corvelle::collect {
namespace {

using namespace std::chrono_literals;
using corvelle::testing::ReceivedRequest;

constexpr const char* kQuotePath = "/api/qt/stock/get";
constexpr const char* kQueryPrefix = "ut=3e9b0c71d2a84f56b1e07c9d4a2f6e83&fltt=2&fields=f43,f57,f58&secid=";

// Fixture pages are UTF-8 templates: "{B}" stands for "http://127.0.0.1:<port>", "{H}" for
// "127.0.0.1:<port>".
std::string replaceAllPlain(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string row(const std::string& link, const std::string& title, const std::string& percent)
{
    return "<tr><td><a href=\"" + link + "\" title=\"" + title + "\">" + title + "</a></td><td>" + percent +
           "%</td></tr>";
}

// The table part between the percentage heading and the as-of date line, as the scraper keeps it.
std::string section(const std::string& rows)
{
    return "</th></tr>" + rows + "</table><div>";
}

// A fund page: a decoy row before the holdings heading and one after the date line must never be read.
std::string page(const std::string& rows)
{
    return "<html><head><meta charset=\"utf-8\"><title>基金</title></head><body>"
           "<p><a href=\"{B}/sh688001.html\" title=\"诱饵前\">前</a><td>1.00%</td></p>"
           "<table><tr><th>股票名称</th><th>持仓占比" +
           section(rows) +
           "持仓截止日期:2024-03-31</div>"
           "<p><a href=\"{B}/sh688002.html\" title=\"诱饵后\">后</a><td>2.00%</td></p></body></html>";
}

// Row n (1-based) of the generated funds: a Shanghai stock 6000nn priced nn.5.
std::string numbered(int n)
{
    return (n < 10 ? "0" : "") + std::to_string(n);
}

std::string numberedRows(int count)
{
    std::string rows;
    for (int n = 1; n <= count; ++n)
        rows += row("{B}/sh6000" + numbered(n) + ".html", "股票" + numbered(n), std::to_string(n) + ".25");
    return rows;
}

const std::string& edgeRows()
{
    static const std::string rows =
        row("{B}/sh600519.html", "贵州茅台", "9.87") +
        "<tr><td><a href=\"{B}/sh600000.html\">无名</a></td><td>5.00%</td></tr>" +  // no title
        row("{B}/sz000001.html", "平安银行", "-") +
        "<tr><td><a href=\"{B}/sz000858.html\" title=\"五粮液\">五粮液</a></td><td>4.00</td></tr>" +  // no
                                                                                                      // "%"
        row("{B}/hk/00700.html", "腾讯控股", "3.21");
    return rows;
}

const std::string& linkFormRows()
{
    static const std::string rows =
        row("{B}/sh600519.html", "贵州茅台", "1") + row("{B}/sz000001.html", "平安银行", "2") +
        row("{B}/hk/00700.html", "腾讯控股", "3") + row("{B}/us/AAPL.html", "苹果", "4") +
        row("/us/MSFT.html", "微软", "5") + row("//{H}/unify/r/1.600036", "招商银行", "6") +
        row("//{H}/unify/r/0.300750", "宁德时代", "7") + row("//{H}/unify/r/116.02331", "李宁", "8") +
        row("//{H}/unify/r/105.AMZN", "亚马逊", "9");
    return rows;
}

const std::map<std::string, std::string>& fixturePages()
{
    static const std::map<std::string, std::string> pages = [] {
        std::map<std::string, std::string> p;
        p["/100010.html"] = page(numberedRows(10));
        p["/100012.html"] = page(numberedRows(12));
        p["/100003.html"] = page(numberedRows(3));
        p["/200001.html"] = page(edgeRows());
        // Rows 2 and 3 are byte for byte the same.
        p["/200002.html"] =
            page(row("{B}/sh600519.html", "贵州茅台", "1.5") + row("{B}/sh600001.html", "股票01", "2.5") +
                 row("{B}/sh600001.html", "股票01", "2.5") + row("{B}/sz000001.html", "平安银行", "3.5"));
        // The first rows have no title: they use up passes, so row 11 is never reached.
        p["/200003.html"] =
            page("<tr><td><a href=\"{B}/sh600099.html\">x</a></td><td>1%</td></tr>" + numberedRows(10));
        p["/300001.html"] = page(linkFormRows());
        p["/400001.html"] = "<p>持仓截止日期:2024-03-31</p><table><tr><th>持仓占比</th></tr>" +
                            row("{B}/sh600519.html", "贵州茅台", "9.87") + "</table>";
        p["/400002.html"] = page("<tr><td>暂无数据</td></tr>");
        p["/400003.html"] = page("<tr><td><a href=\"%</td>");
        p["/us/AAPL.html"] = "<html><script>var code = \"AAPL\";var market = \"105\";</script></html>";
        p["/us/MSFT.html"] = "<html><script>var market = \"105\";</script></html>";
        return p;
    }();
    return pages;
}

std::string quoteReply(const std::string& price, const std::string& code)
{
    return "{\"rc\":0,\"data\":{\"f43\":" + price + ",\"f57\":\"" + code + "\",\"f58\":\"名称\"}}";
}

const std::map<std::string, std::string>& fixtureQuotes()
{
    static const std::map<std::string, std::string> quotes = [] {
        std::map<std::string, std::string> q;
        for (int n = 1; n <= 12; ++n)
            q["1.6000" + numbered(n)] = quoteReply(std::to_string(n) + ".5", "6000" + numbered(n));
        q["1.600519"] = quoteReply("1688.5", "600519");
        q["0.000001"] = "{\"data\":{\"f43\":10.5,\"f44\":11.02,\"f45\":10.1,\"f57\":\"000001\"}}";
        // "0.000858" has no entry: its reply is empty.
        q["116.00700"] = quoteReply("\"-\"", "00700");
        q["105.AAPL"] = quoteReply("189.25", "AAPL");
        q["105.MSFT"] = quoteReply("402.5", "MSFT");
        q["1.600036"] = quoteReply("35.5", "600036");
        q["0.300750"] = quoteReply("200.25", "300750");
        q["116.02331"] = quoteReply("45.5", "02331");
        q["105.AMZN"] = quoteReply("178.75", "AMZN");
        q[".12345"] = quoteReply("7.5", "12345");
        return q;
    }();
    return quotes;
}

class FundScraperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_server.get(kQuotePath, [this](const httplib::Request& request, httplib::Response& response) {
            ++m_handled;
            const auto it = fixtureQuotes().find(request.get_param_value("secid"));
            response.set_content(it == fixtureQuotes().end() ? std::string() : it->second,
                                 "application/json; charset=utf-8");
        });
        m_server.get(R"(/.*)", [this](const httplib::Request& request, httplib::Response& response) {
            ++m_handled;
            const auto it = fixturePages().find(request.path);
            if (it == fixturePages().end()) {
                response.status = 404;
                response.set_content("<html>Not Found</html>", "text/html");
                return;
            }
            response.set_content(expand(it->second), "text/html; charset=utf-8");
        });
        m_server.start();
    }

    // The page template with this server's address filled in.
    [[nodiscard]] std::string expand(const std::string& text) const
    {
        const std::string host = "127.0.0.1:" + std::to_string(m_server.port());
        return replaceAllPlain(replaceAllPlain(text, "{B}", "http://" + host), "{H}", host);
    }

    // A fixture text as the scraper holds it: addresses filled in, converted to GBK.
    [[nodiscard]] std::string gbk(const std::string& utf8Template) const
    {
        return utf8ToGbk(expand(utf8Template));
    }

    [[nodiscard]] FundScraper makeScraper() const
    {
        const FetchLimits limits{2000ms, 5000ms, 5, std::size_t{1} << 20};
        return FundScraper({m_server.baseUrl() + "/", m_server.baseUrl()},
                           [limits](const std::string& url) { return fetchText(url, limits); });
    }

    // The requests received so far. The server records a request only after its response went out, so
    // wait until every request a handler answered is recorded as well.
    [[nodiscard]] std::vector<ReceivedRequest> requests() const
    {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        for (;;) {
            auto received = m_server.requests();
            if (received.size() >= m_handled.load() || std::chrono::steady_clock::now() > deadline)
                return received;
            std::this_thread::sleep_for(1ms);
        }
    }

    void clearRequests()
    {
        (void)requests();
        m_server.clearRequests();
        m_handled = 0;
    }

    [[nodiscard]] int requestCount(const std::string& path) const
    {
        int count = 0;
        for (const auto& request : requests())
            count += request.path == path ? 1 : 0;
        return count;
    }

    // The secid of every quote request, in the order received.
    [[nodiscard]] std::vector<std::string> requestedSecids() const
    {
        std::vector<std::string> secids;
        for (const auto& request : requests()) {
            if (request.path != kQuotePath)
                continue;
            EXPECT_EQ(request.query.rfind(kQueryPrefix, 0), 0U) << request.query;
            secids.push_back(request.query.substr(std::string(kQueryPrefix).size()));
        }
        return secids;
    }

    [[nodiscard]] std::vector<std::string> names(const RecordList& records) const
    {
        std::vector<std::string> result;
        for (const auto& r : records)
            result.push_back(r.name);
        return result;
    }

    [[nodiscard]] std::vector<std::string> numberedNames(int first, int last) const
    {
        std::vector<std::string> result;
        for (int n = first; n <= last; ++n)
            result.push_back(gbk("股票" + numbered(n)));
        return result;
    }

    corvelle::testing::TestServer m_server;
    std::atomic<std::size_t> m_handled{0};
};

TEST_F(FundScraperTest, QuotePrefixIsBuiltFromTheQuoteAddress)
{
    const FundScraper scraper = makeScraper();
    EXPECT_EQ(scraper.quoteUrlPrefix(), m_server.baseUrl() + kQuotePath + "?" + kQueryPrefix);
    EXPECT_TRUE(scraper.pageText().empty());
    EXPECT_TRUE(scraper.holdings().empty());
}

struct FetchCase {
    const char* name;
    std::string code;
    bool expected;
    std::string expectedSection;  // UTF-8 template
};

TEST_F(FundScraperTest, FetchFundKeepsTheHoldingsSection)
{
    const std::vector<FetchCase> cases = {
        {"three rows", "100003", true, section(numberedRows(3))},
        {"date line before the heading", "400001", false, ""},
        {"section without a row", "400002", false, section("<tr><td>暂无数据</td></tr>")},
        {"row marker followed at once by the end marker", "400003", false,
         section("<tr><td><a href=\"%</td>")},
        {"unknown fund (404 page)", "999999", false, ""},
    };
    for (const auto& c : cases) {
        FundScraper scraper = makeScraper();
        clearRequests();
        EXPECT_EQ(scraper.fetchFund(c.code), c.expected) << c.name;
        EXPECT_EQ(scraper.pageText(), gbk(c.expectedSection)) << c.name;
        const auto received = requests();
        ASSERT_EQ(received.size(), 1U) << c.name;
        EXPECT_EQ(received[0].path, "/" + c.code + ".html") << c.name;
        EXPECT_EQ(received[0].query, "") << c.name;
    }
}

TEST_F(FundScraperTest, FetchFundReplacesTheSectionOfTheLastFund)
{
    FundScraper scraper = makeScraper();
    ASSERT_TRUE(scraper.fetchFund("100003"));
    EXPECT_FALSE(scraper.fetchFund("999999"));
    EXPECT_TRUE(scraper.pageText().empty());
    scraper.parseHoldings();
    EXPECT_TRUE(scraper.holdings().empty());
}

struct WalkCase {
    const char* name;
    std::string code;
    std::vector<std::string> expectedNames;  // GBK
};

TEST_F(FundScraperTest, ParseHoldingsReadsAtMostTenRowsInPageOrder)
{
    const std::vector<WalkCase> cases = {
        {"ten rows", "100010", numberedNames(1, 10)},
        {"twelve rows: the first ten", "100012", numberedNames(1, 10)},
        {"three rows", "100003", numberedNames(1, 3)},
        {"a row without title uses up a pass", "200003", numberedNames(1, 9)},
    };
    for (const auto& c : cases) {
        FundScraper scraper = makeScraper();
        ASSERT_TRUE(scraper.fetchFund(c.code)) << c.name;
        clearRequests();
        scraper.parseHoldings();
        EXPECT_EQ(names(scraper.holdings()), c.expectedNames) << c.name;

        // One quote request per stored row, in row order; every record fully filled.
        std::vector<std::string> expectedSecids;
        for (std::size_t i = 0; i < scraper.holdings().size(); ++i) {
            const HoldingRecord& r = scraper.holdings()[i];
            const std::string n = numbered(static_cast<int>(i) + 1);
            expectedSecids.push_back("1.6000" + n);
            EXPECT_EQ(r.code, "6000" + n) << c.name;
            EXPECT_EQ(r.link, m_server.baseUrl() + "/sh6000" + n + ".html") << c.name;
            EXPECT_EQ(r.ratio, std::stof(std::to_string(i + 1) + ".25")) << c.name;
            EXPECT_EQ(r.price, std::stof(std::to_string(i + 1) + ".5")) << c.name;
            EXPECT_EQ(r.repeatCount, 1) << c.name;
        }
        EXPECT_EQ(requestedSecids(), expectedSecids) << c.name;
    }
}

TEST_F(FundScraperTest, ParseHoldingsHandlesOddRows)
{
    FundScraper scraper = makeScraper();
    ASSERT_TRUE(scraper.fetchFund("200001"));
    scraper.parseHoldings();
    const RecordList& h = scraper.holdings();
    ASSERT_EQ(names(h),
              (std::vector<std::string>{gbk("贵州茅台"), gbk("平安银行"), gbk("五粮液"), gbk("腾讯控股")}));

    EXPECT_EQ(h[0].ratio, 9.87F);
    EXPECT_EQ(h[0].price, 1688.5F);
    EXPECT_EQ(h[1].ratio, 0.0F) << "a \"-\" percentage reads as 0";
    EXPECT_EQ(h[1].price, 10.5F) << "other members between f43 and f57";
    EXPECT_EQ(h[2].ratio, 3.21F) << "a cell without \"%\" takes the next row's percentage";
    EXPECT_EQ(h[2].link, m_server.baseUrl() + "/sz000858.html") << "but keeps its own link";
    EXPECT_EQ(h[2].price, 0.0F) << "an empty quote reply";
    EXPECT_EQ(h[3].ratio, 3.21F);
    EXPECT_EQ(h[3].code, "00700");
    EXPECT_EQ(h[3].price, 0.0F) << "a quote of \"-\"";
    EXPECT_EQ(requestedSecids(), (std::vector<std::string>{"1.600519", "0.000001", "0.000858", "116.00700"}));
}

TEST_F(FundScraperTest, RepeatedIdenticalRowsAreReadOnceEach)
{
    FundScraper scraper = makeScraper();
    ASSERT_TRUE(scraper.fetchFund("200002"));
    scraper.parseHoldings();
    EXPECT_EQ(names(scraper.holdings()),
              (std::vector<std::string>{gbk("贵州茅台"), gbk("股票01"), gbk("股票01"), gbk("平安银行")}));
    EXPECT_EQ(requestedSecids(), (std::vector<std::string>{"1.600519", "1.600001", "1.600001", "0.000001"}));
}

struct LinkRecordCase {
    std::string name;  // UTF-8
    std::string link;  // template
    std::string code;
    float price;
};

TEST_F(FundScraperTest, ParseHoldingsPricesEveryLinkForm)
{
    FundScraper scraper = makeScraper();
    ASSERT_TRUE(scraper.fetchFund("300001"));
    scraper.parseHoldings();
    const std::vector<LinkRecordCase> expected = {
        {"贵州茅台", "{B}/sh600519.html", "600519", 1688.5F},
        {"平安银行", "{B}/sz000001.html", "000001", 10.5F},
        {"腾讯控股", "{B}/hk/00700.html", "00700", 0.0F},
        {"苹果", "{B}/us/AAPL.html", "AAPL", 189.25F},
        {"微软", "/us/MSFT.html", "MSFT", 402.5F},
        {"招商银行", "//{H}/unify/r/1.600036", "600036", 35.5F},
        {"宁德时代", "//{H}/unify/r/0.300750", "300750", 200.25F},
        {"李宁", "//{H}/unify/r/116.02331", "02331", 45.5F},
        {"亚马逊", "//{H}/unify/r/105.AMZN", "AMZN", 178.75F},
    };
    const RecordList& h = scraper.holdings();
    ASSERT_EQ(h.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(h[i].name, gbk(expected[i].name)) << i;
        EXPECT_EQ(h[i].link, expand(expected[i].link)) << "the link stays as the page gave it";
        EXPECT_EQ(h[i].code, expected[i].code) << expected[i].link;
        EXPECT_EQ(h[i].price, expected[i].price) << expected[i].link;
        EXPECT_EQ(h[i].ratio, static_cast<float>(i + 1));
    }
    EXPECT_EQ(requestedSecids(),
              (std::vector<std::string>{"1.600519", "0.000001", "116.00700", "105.AAPL", "105.MSFT",
                                        "1.600036", "0.300750", "116.02331", "105.AMZN"}));
    // Both US pages were read for their market number, the root-relative one on the fund site.
    EXPECT_EQ(requestCount("/us/AAPL.html"), 1);
    EXPECT_EQ(requestCount("/us/MSFT.html"), 1);
    // The unify links carry their market number: their own pages are never fetched.
    EXPECT_EQ(requestCount("/unify/r/1.600036"), 0);
}

struct PriceCase {
    const char* name;
    std::string link;  // template
    std::string expectedSecid;
    float expectedPrice;
    std::string fetchedPage;  // a page the price needs first, or empty
};

TEST_F(FundScraperTest, FetchPriceChoosesTheMarketNumber)
{
    const std::vector<PriceCase> cases = {
        {"sh link", "{B}/sh600519.html", "1.600519", 1688.5F, ""},
        {"sz link", "{B}/sz000001.html", "0.000001", 10.5F, ""},
        {"sz wins over hk", "{B}/hk/sz000001.html", "0.000001", 10.5F, ""},
        {"sz wins over sh", "{B}/shsz000001.html", "0.000001", 10.5F, ""},
        {"hk link", "{B}/hk/00700.html", "116.00700", 0.0F, ""},
        {"us link reads the market from its page", "{B}/us/AAPL.html", "105.AAPL", 189.25F, "/us/AAPL.html"},
        {"root-relative us link", "/us/MSFT.html", "105.MSFT", 402.5F, "/us/MSFT.html"},
        {"protocol-relative us link", "//{H}/us/MSFT.html", "105.MSFT", 402.5F, "/us/MSFT.html"},
        {"us page without a market", "{B}/us/NOPE.html", ".NOPE", 0.0F, "/us/NOPE.html"},
        {"no market letters", "{B}/x/12345.html", ".12345", 7.5F, ""},
        {"unify Shanghai", "//{H}/unify/r/1.600036", "1.600036", 35.5F, ""},
        {"unify Shenzhen", "//{H}/unify/r/0.300750", "0.300750", 200.25F, ""},
        {"unify Hong Kong", "//{H}/unify/r/116.02331", "116.02331", 45.5F, ""},
        {"unify US", "//{H}/unify/r/105.AMZN", "105.AMZN", 178.75F, ""},
        {"unify with an sh host part", "http://sh.{H}/unify/r/0.300750", "0.300750", 200.25F, ""},
        {"no slash at all", "nolink", ".", 0.0F, ""},
        {"file address is never fetched", "file:///us/x.html", ".x", 0.0F, ""},
    };
    for (const auto& c : cases) {
        FundScraper scraper = makeScraper();
        clearRequests();
        EXPECT_EQ(scraper.fetchPrice(expand(c.link)), c.expectedPrice) << c.name;
        EXPECT_EQ(requestedSecids(), std::vector<std::string>{c.expectedSecid}) << c.name;
        const auto received = requests();
        const std::size_t pageRequests = c.fetchedPage.empty() ? 0U : 1U;
        ASSERT_EQ(received.size(), pageRequests + 1) << c.name;
        if (pageRequests == 1) {
            EXPECT_EQ(received[0].path, c.fetchedPage) << c.name;
        }
        EXPECT_EQ(received.back().path, kQuotePath) << c.name;
        EXPECT_EQ(received.back().version, "HTTP/1.0") << c.name;
    }
}

struct CodeCase {
    const char* name;
    std::string link;
    std::string expected;
};

TEST_F(FundScraperTest, StockCodeFromLink)
{
    const std::vector<CodeCase> cases = {
        {"sh and six digits", "http://f.test/sh600519.html", "600519"},
        {"sz and six digits", "http://f.test/sz000001.html", "000001"},
        {"five digits", "http://f.test/hk/00700.html", "00700"},
        {"market letters removed anywhere", "http://f.test/shsz600519.html", "600519"},
        {"only the last segment", "http://sh.test/sz/600519.html", "600519"},
        {"letters code", "http://f.test/us/AAPL.html", "AAPL"},
        {"root-relative", "/sh600519.html", "600519"},
        {"no dot in the last segment", "http://f.test/abc", ""},
        {"no slash", "sh600519.html", ""},
        {"empty", "", ""},
        {"trailing slash", "http://f.test/x/", ""},
        {"unify Shanghai", "//q.test/unify/r/1.600519", "600519"},
        {"unify Shenzhen", "//q.test/unify/r/0.000001", "000001"},
        {"unify Hong Kong", "//q.test/unify/r/116.02331", "02331"},
        {"unify US", "//q.test/unify/r/105.AMZN", "AMZN"},
        {"unify, absolute", "http://q.test/unify/r/1.600519", "600519"},
        {"four-digit market keeps the old rule", "//q.test/r/1234.5", "1234"},
        {"html ending keeps the old rule", "//q.test/r/1.600519.html", "1"},
        {"htm ending keeps the old rule", "//q.test/r/1.600519.htm", "1"},
        {"non-alphanumeric code keeps the old rule", "//q.test/r/1.60-05", "1"},
        {"empty code keeps the old rule", "//q.test/r/1.", "1"},
        {"empty market keeps the old rule", "//q.test/r/.600519", ""},
    };
    const FundScraper scraper = makeScraper();
    for (const auto& c : cases)
        EXPECT_EQ(scraper.stockCodeFromLink(c.link), c.expected) << c.name;
}

TEST_F(FundScraperTest, FundsHoldingTheSameStockMergeIntoOneRecord)
{
    FundScraper scraper = makeScraper();
    for (const char* code : {"200001", "999999", "300001"}) {
        if (scraper.fetchFund(code))
            scraper.parseHoldings();
    }
    // Each fund gives its own record; the unknown fund adds nothing.
    const RecordList& h = scraper.holdings();
    ASSERT_EQ(h.size(), 13U);
    EXPECT_EQ(h[0].name, gbk("贵州茅台"));
    EXPECT_EQ(h[4].name, gbk("贵州茅台"));
    EXPECT_EQ(h[0].repeatCount, 1);
    EXPECT_EQ(h[4].repeatCount, 1);

    RecordList table = {HoldingRecord{"old", "old", 1.0F, 1, "http://old.test/", 1.0F}};
    scraper.mergeInto(table);
    EXPECT_EQ(names(table), (std::vector<std::string>{
                                gbk("贵州茅台"), gbk("平安银行"), gbk("五粮液"), gbk("腾讯控股"), gbk("苹果"),
                                gbk("微软"), gbk("招商银行"), gbk("宁德时代"), gbk("李宁"), gbk("亚马逊")}));
    EXPECT_EQ(table, scraper.holdings());
    ASSERT_EQ(table.size(), 10U);
    EXPECT_EQ(table[0].repeatCount, 2);
    EXPECT_EQ(table[0].ratio, static_cast<float>(static_cast<double>(9.87F) + 1.0));
    EXPECT_EQ(table[1].repeatCount, 2);
    EXPECT_EQ(table[1].ratio, 2.0F);
    EXPECT_EQ(table[2].repeatCount, 1);
    EXPECT_EQ(table[3].repeatCount, 2);
}

}  // namespace
}  // namespace corvelle::collect

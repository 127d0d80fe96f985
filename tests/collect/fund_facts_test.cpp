// What the scraper notes about each fund: as-of date and name read from the page, the outcome of the
// fetch, the fund's own rows, and the fund each record comes from; pages served by a real HTTP server.
#include "collect/charset.h"
#include "collect/fund_scraper.h"
#include "collect/http_client.h"
#include "tests/support/test_server.h"
#include "tools/sample-site/sample_site.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <vector>

namespace corvelle::collect {
namespace {

using namespace std::chrono_literals;

struct PageCase {
    const char* name;
    std::string page;      // UTF-8, converted to GBK as the scraper holds pages
    std::string expected;  // UTF-8
};

TEST(AsOfDateOfPage, TextAfterTheFirstDateLineUpToItsEndOrATag)
{
    const std::vector<PageCase> cases = {
        {"date followed by a tag", "<div>持仓截止日期:2026-09-30 <span>来源：季报</span></div>",
         "2026-09-30"},
        {"date at the end of a CRLF line", "<p>\r\n持仓截止日期:2026-06-30\r\n</p>", "2026-06-30"},
        {"date at the end of an LF line", "持仓截止日期: 2026-06-30 \nnext line", "2026-06-30"},
        {"date at the end of the page", "持仓截止日期:2026-03-31", "2026-03-31"},
        {"empty date", "<div>持仓截止日期:</div>", ""},
        {"only blanks", "<div>持仓截止日期: \t　 </div>", ""},
        {"full-width blanks around the date", "<div>持仓截止日期:　2026-03-31　　</div>", "2026-03-31"},
        {"no date line", "<table><tr><th>持仓占比</th></tr></table>", ""},
        {"a full-width colon is another text", "<div>持仓截止日期：2026-03-31</div>", ""},
        {"the first of two lines", "持仓截止日期:2026-06-30<br>持仓截止日期:2026-09-30", "2026-06-30"},
        {"words after the date stay, up to the tag", "持仓截止日期:2026-09-30（季报数据更新中）</div>",
         "2026-09-30（季报数据更新中）"},
        {"inner blanks stay", "持仓截止日期: 2026 年 9 月 30 日 </td>", "2026 年 9 月 30 日"},
        {"an empty page", "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(gbkToUtf8(asOfDateOfPage(utf8ToGbk(c.page))), c.expected) << c.name;
}

TEST(AsOfDateOfPage, OverlongTextIsCutOnACharacterBoundary)
{
    EXPECT_EQ(asOfDateOfPage(utf8ToGbk("持仓截止日期:") + std::string(100, 'x') + "<"), std::string(64, 'x'));
    // One ASCII byte and two-byte characters: 63 bytes fit, the next character would make 65.
    std::string chinese;
    for (int i = 0; i < 40; ++i)
        chinese += "日";
    const std::string date = asOfDateOfPage(utf8ToGbk("持仓截止日期:x" + chinese + "<"));
    EXPECT_EQ(date.size(), 63U);
    EXPECT_EQ(gbkToUtf8(date), "x" + chinese.substr(0, 31 * 3));
}

TEST(FundNameOfPage, TitleWithoutCodeAndSiteSuffix)
{
    const std::vector<PageCase> cases = {
        {"code and site suffix", "<title>易方达蓝筹精选混合(005827)基金净值_估值_行情走势—天天基金网</title>",
         "易方达蓝筹精选混合"},
        {"brackets inside the name stay",
         "<title>易方达优质精选混合(QDII)(110011)基金净值_估值—示例基金网</title>",
         "易方达优质精选混合(QDII)"},
        {"share class after the brackets stays", "<title>富国天惠成长混合(LOF)A(161005)基金净值</title>",
         "富国天惠成长混合(LOF)A"},
        {"full-width brackets around the code", "<title>汇添富消费行业混合（000083）基金档案</title>",
         "汇添富消费行业混合"},
        {"underscore suffix", "<title>汇添富消费行业混合_基金档案_示例</title>", "汇添富消费行业混合"},
        {"em dash suffix", "<title>中欧新蓝筹混合A—示例基金网</title>", "中欧新蓝筹混合A"},
        {"bar suffix, blanks trimmed", "<title>嘉实新兴产业股票 | 示例基金网</title>", "嘉实新兴产业股票"},
        {"full-width bar suffix", "<title>嘉实新兴产业股票｜示例基金网</title>", "嘉实新兴产业股票"},
        {"spaced hyphen suffix", "<title>嘉实新兴产业股票 - 示例基金网</title>", "嘉实新兴产业股票"},
        {"a hyphen inside a name stays", "<title>广发纳斯达克100ETF联接人民币(QDII)-A</title>",
         "广发纳斯达克100ETF联接人民币(QDII)-A"},
        {"bare name, blanks trimmed", "<title> \r\n 华夏成长混合　</title>", "华夏成长混合"},
        {"five digits are not a fund code", "<title>某某混合(12345)</title>", "某某混合(12345)"},
        {"upper-case tag with an attribute", "<TITLE lang=\"zh\">招商中证白酒指数(LOF)A</TITLE>",
         "招商中证白酒指数(LOF)A"},
        {"a longer tag name is not a title", "<titlebar>工具栏</titlebar><title>华夏成长混合</title>",
         "华夏成长混合"},
        {"nothing before the code: no cut", "<title>(005827)基金净值</title>", "(005827)基金净值"},
        {"nothing before the suffix: no cut there", "<title>_华夏成长混合_示例</title>", "_华夏成长混合"},
        {"empty title", "<title></title>", ""},
        {"no title", "<html><body><h1>华夏成长混合</h1></body></html>", ""},
        {"unclosed title", "<title>华夏成长混合", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(gbkToUtf8(fundNameOfPage(utf8ToGbk("<html><head>" + c.page + "</head>"))), c.expected)
            << c.name;
}

TEST(FundNameOfPage, ManyFalseStartsAreEachLookedAtOnce)
{
    // Each "<titlex" is a false start; a search that went back to the start of the page for every one
    // would take hours on this page.
    std::string page;
    for (int i = 0; i < 200000; ++i)
        page += "<titlex";
    EXPECT_EQ(fundNameOfPage(page + "<title>Y</title>"), "Y");
    EXPECT_EQ(fundNameOfPage(page), "");
}

TEST(FundNameOfPage, OverlongTitleIsCutOnACharacterBoundary)
{
    std::string title = "x";
    for (int i = 0; i < 200; ++i)
        title += "名";
    const std::string name = fundNameOfPage(utf8ToGbk("<title>" + title + "</title>"));
    EXPECT_EQ(name.size(), 255U);
    EXPECT_EQ(name, utf8ToGbk(title).substr(0, 255));
}

// Every sample fund page gives the fund's own name and date, and the data set shows funds of two quarters.
TEST(FundFactsOfSampleSite, NameAndDateOfEveryFundPage)
{
    const samplesite::LoadResult loaded = samplesite::loadSiteData(samplesite::sourceDataFolder());
    ASSERT_TRUE(loaded.data) << loaded.error;
    std::set<std::string> tableDates;
    for (const samplesite::Fund& fund : loaded.data->funds) {
        SCOPED_TRACE(fund.code);
        const std::string page = utf8ToGbk(samplesite::renderFundPage(fund, *loaded.data, "127.0.0.1:1"));
        EXPECT_EQ(gbkToUtf8(fundNameOfPage(page)), fund.name);
        const std::string date = gbkToUtf8(asOfDateOfPage(page));
        if (fund.page == samplesite::PageKind::DateFirst) {
            EXPECT_EQ(date.rfind(fund.asOfDate, 0), 0U) << date;
        } else {
            EXPECT_EQ(date, fund.asOfDate);
        }
        if (fund.page == samplesite::PageKind::Normal || fund.page == samplesite::PageKind::Large)
            tableDates.insert(fund.asOfDate);
    }
    EXPECT_GE(tableDates.size(), 2U) << "some funds with holdings must show an older quarter";
}

std::string holdingRow(const std::string& base, const std::string& code, const std::string& name,
                       const std::string& percent)
{
    return "<tr><td><a href=\"" + base + "/sh" + code + ".html\" title=\"" + name + "\">" + name +
           "</a></td><td>" + percent + "%</td></tr>";
}

std::string fundPage(const std::string& title, const std::string& table, const std::string& date)
{
    return "<html><head><meta charset=\"utf-8\"><title>" + title +
           "</title></head><body><table><tr>"
           "<th>股票名称</th><th>持仓占比</th></tr>" +
           table + "</table><div>持仓截止日期:" + date + " <span>来源</span></div></body></html>";
}

class FundFactsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_server.get(R"(/(\d{6})\.html)", [this](const httplib::Request& request,
                                                 httplib::Response& response) {
            const std::string base = m_server.baseUrl();
            const std::string code = request.matches[1];
            if (code == "481010") {
                response.set_content(fundPage("工银瑞信中小盘成长混合(481010)基金净值_示例",
                                              holdingRow(base, "600519", "贵州茅台", "9.87") +
                                                  holdingRow(base, "600036", "招商银行", "4.5") +
                                                  holdingRow(base, "600036", "招商银行", "1.25"),
                                              "2026-09-30"),
                                     "text/html; charset=utf-8");
            } else if (code == "002264") {
                response.set_content(fundPage("华夏乐享健康灵活配置混合(002264)",
                                              holdingRow(base, "600036", "招商银行", "2") +
                                                  holdingRow(base, "600519", "贵州茅台", "3.5"),
                                              "2026-06-30"),
                                     "text/html; charset=utf-8");
            } else if (code == "110017") {
                // A bond fund: the date line, but no stock table.
                response.set_content(
                    "<html><head><title>易方达增强回报债券A(110017)</title></head><body>"
                    "<p>暂无股票持仓数据</p><div>持仓截止日期:2026-09-30</div></body></html>",
                    "text/html; charset=utf-8");
            } else if (code == "400002") {
                // A stock table without a single row.
                response.set_content(fundPage("某某混合(400002)", "<tr><td>暂无数据</td></tr>", "2026-09-30"),
                                     "text/html; charset=utf-8");
            } else if (code == "404404") {
                response.status = 404;
                response.set_content(
                    "<html><head><title>404 Not Found</title></head><body>Not Found</body></html>",
                    "text/html");
            } else {
                // Any other code: a 404 without a body.
                response.status = 404;
            }
        });
        m_server.start();
    }
    void TearDown() override { m_server.stop(); }

    [[nodiscard]] static FundScraper scraperFor(const std::string& base)
    {
        const FetchLimits limits{2000ms, 5000ms, 5, std::size_t{1} << 20};
        return FundScraper({base + "/", base},
                           [limits](const std::string& url) { return fetchText(url, limits); });
    }

    [[nodiscard]] FundScraper makeScraper() const { return scraperFor(m_server.baseUrl()); }

    corvelle::testing::TestServer m_server;
};

struct OutcomeCase {
    const char* name;
    std::string code;
    FundOutcome outcome;
    std::string fundName;  // UTF-8
    std::string asOfDate;
};

TEST_F(FundFactsTest, OutcomeNameAndDateOfEachFund)
{
    const std::vector<OutcomeCase> cases = {
        {"page with holdings", "481010", FundOutcome::HoldingsRead, "工银瑞信中小盘成长混合", "2026-09-30"},
        {"page without a stock table", "110017", FundOutcome::NoHoldingsTable, "易方达增强回报债券A",
         "2026-09-30"},
        {"table without a row", "400002", FundOutcome::NoHoldingsTable, "某某混合", "2026-09-30"},
        {"404 with an error page: a page came, without a table", "404404", FundOutcome::NoHoldingsTable,
         "404 Not Found", ""},
        {"404 without a body", "999999", FundOutcome::PageNotFetched, "", ""},
    };
    FundScraper scraper = makeScraper();
    for (const auto& c : cases) {
        const bool hasRows = scraper.fetchFund(c.code);
        EXPECT_EQ(hasRows, c.outcome == FundOutcome::HoldingsRead) << c.name;
        if (hasRows)
            scraper.parseHoldings();
    }
    ASSERT_EQ(scraper.funds().size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const OutcomeCase& c = cases[i];
        const FundInfo& info = scraper.funds()[i];
        EXPECT_EQ(info.code, c.code) << c.name;
        EXPECT_EQ(info.outcome, c.outcome) << c.name;
        EXPECT_EQ(gbkToUtf8(info.name), c.fundName) << c.name;
        EXPECT_EQ(info.asOfDate, c.asOfDate) << c.name;
        EXPECT_EQ(info.holdings.empty(), c.outcome != FundOutcome::HoldingsRead) << c.name;
    }
}

TEST_F(FundFactsTest, RefusedConnectionIsAPageNotFetched)
{
    corvelle::testing::TestServer closed;
    closed.start();
    const std::string base = closed.baseUrl();
    closed.stop();

    FundScraper scraper = scraperFor(base);
    EXPECT_FALSE(scraper.fetchFund("481010"));
    ASSERT_EQ(scraper.funds().size(), 1U);
    EXPECT_EQ(scraper.funds()[0].code, "481010");
    EXPECT_EQ(scraper.funds()[0].outcome, FundOutcome::PageNotFetched);
    EXPECT_EQ(scraper.funds()[0].name, "");
    EXPECT_EQ(scraper.funds()[0].asOfDate, "");
}

TEST_F(FundFactsTest, RecordsNameTheirFundAndTheFundKeepsItsRowsThroughTheMerge)
{
    FundScraper scraper = makeScraper();
    for (const char* code : {"481010", "110017", "002264"})
        if (scraper.fetchFund(code))
            scraper.parseHoldings();

    const std::string moutai = utf8ToGbk("贵州茅台");
    const std::string cmb = utf8ToGbk("招商银行");
    // Before the merge every record has one source: the fund whose table listed it.
    std::vector<std::vector<FundShare>> sources;
    for (const HoldingRecord& record : scraper.holdings())
        sources.push_back(record.sources);
    EXPECT_EQ(sources, (std::vector<std::vector<FundShare>>{{{"481010", 9.87F}},
                                                            {{"481010", 4.5F}},
                                                            {{"481010", 1.25F}},
                                                            {{"002264", 2.0F}},
                                                            {{"002264", 3.5F}}}));

    RecordList table;
    scraper.mergeInto(table);
    ASSERT_EQ(table.size(), 2U);
    EXPECT_EQ(table[0].name, moutai);
    EXPECT_EQ(table[0].repeatCount, 2);
    EXPECT_EQ(table[0].sources, (std::vector<FundShare>{{"481010", 9.87F}, {"002264", 3.5F}}));
    EXPECT_EQ(contributingFundsText(table[0]), "481010 9.87%\n002264 3.5%");
    EXPECT_EQ(table[1].name, cmb);
    EXPECT_EQ(table[1].repeatCount, 3);
    EXPECT_EQ(table[1].sources,
              (std::vector<FundShare>{{"481010", 4.5F}, {"481010", 1.25F}, {"002264", 2.0F}}));

    // The merge folded the holdings in place; each fund's own rows are untouched.
    ASSERT_EQ(scraper.funds().size(), 3U);
    EXPECT_EQ(scraper.funds()[0].holdings,
              (std::vector<FundHolding>{{moutai, 9.87F}, {cmb, 4.5F}, {cmb, 1.25F}}));
    EXPECT_TRUE(scraper.funds()[1].holdings.empty());
    EXPECT_EQ(scraper.funds()[2].holdings, (std::vector<FundHolding>{{cmb, 2.0F}, {moutai, 3.5F}}));
    EXPECT_EQ(scraper.funds()[2].asOfDate, "2026-06-30");
}

}  // namespace
}  // namespace corvelle::collect

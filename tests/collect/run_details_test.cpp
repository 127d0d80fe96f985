// What a run leaves beside the table: each fund's facts and outcome, the run summary for the progress
// label's tooltip, and the funds behind each row, all against a real HTTP server.
#include "collect/analysis_run.h"
#include "collect/analysis_session.h"

#include "tests/collect/analysis_fixtures.h"
#include "view/cell_texts.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace corvelle::collect {
namespace {

using testing::gbk;
using namespace std::chrono_literals;

TEST(RunSummary, OneLinePerAnalysedFundWithItsOutcome)
{
    const std::vector<FundInfo> funds{{"481010", "", "", FundOutcome::HoldingsRead, {}},
                                      {"519999", "", "", FundOutcome::NoHoldingsTable, {}},
                                      {"000404", "", "", FundOutcome::PageNotFetched, {}}};
    EXPECT_EQ(runSummary(funds), gbk("481010 已读取持仓\n519999 无股票持仓表\n000404 页面未能获取"));
    EXPECT_EQ(runSummary({funds[1]}), gbk("519999 无股票持仓表")) << "no line break after the last line";
    EXPECT_EQ(runSummary({}), "");
}

// Records rows with their tooltips and the progress label's tooltips, as the session posts them.
class TipDisplay final : public ResultsDisplay {
public:
    void clearRows() override { rows.clear(); }
    void appendRow(const CellRow& cells) override { rows.push_back({cells, "<no tooltip given>"}); }
    void appendRowWithToolTip(const CellRow& cells, const std::string& gbkToolTip) override
    {
        rows.push_back({cells, gbkToolTip});
    }
    [[nodiscard]] int rowCount() const override { return static_cast<int>(rows.size()); }
    void setProgressText(const std::string& gbkText) override { events.push_back("text " + gbkText); }
    void setProgressToolTip(const std::string& gbkText) override { events.push_back("tip " + gbkText); }

    struct Row {
        CellRow cells;
        std::string toolTip;
    };
    std::vector<Row> rows;
    std::vector<std::string> events;  // progress texts and tooltips in arrival order
};

void replaceOnce(std::string& text, const std::string& from, const std::string& to)
{
    text.replace(text.find(from), from.size(), to);
}

// A fund site with one fund of each outcome and two more holding fund 481010's stocks:
//   481010  贵州茅台 5.5, 宁德时代 4.25 (as of 2024-03-31)
//   002264  贵州茅台 4, and 贵州茅台 again in a second row (two share classes) 1.5 (as of 2023-12-31)
//   519999  a page without a holdings table
//   000404  an empty answer: no page text at all
class OutcomeSite {
public:
    OutcomeSite()
    {
        m_server.get(R"(/([0-9]{6})\.html)",
                     [this](const httplib::Request& request, httplib::Response& response) {
                         const std::string code = request.matches[1].str();
                         std::string page;
                         if (code == "481010") {
                             page = testing::fundPage({{"{base}/sh600519.html", "贵州茅台", "5.5"},
                                                       {"{base}/sz300750.html", "宁德时代", "4.25"}},
                                                      m_server.baseUrl(), m_server.port());
                         } else if (code == "002264") {
                             page = testing::fundPage({{"{base}/sh600519.html", "贵州茅台", "4"},
                                                       {"{base}/sh600519.html", "贵州茅台", "1.5"}},
                                                      m_server.baseUrl(), m_server.port());
                             replaceOnce(page, "2024-03-31", "2023-12-31");
                             replaceOnce(page, "<title>基金</title>", "<title>华夏乐享(002264)</title>");
                         } else if (code == "519999") {
                             page = "<html><body>债券基金，暂无股票持仓</body></html>";
                         }
                         response.set_content(page, "text/html; charset=utf-8");
                     });
        m_server.get("/api/qt/stock/get", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(testing::quoteReply("10.5"), "application/json");
        });
        m_server.start();
    }

    [[nodiscard]] ServiceAddresses addresses() const
    {
        return {m_server.baseUrl() + "/", m_server.baseUrl()};
    }

private:
    testing::TestServer m_server;
};

class RunDetailsTest : public ::testing::Test {
protected:
    RunDetailsTest()
    {
        limits.connectTimeout = 2s;
        limits.totalTimeout = 20s;
        session = std::make_unique<AnalysisSession>(ui, display, site.addresses(), limits);
    }

    void runAndSettle(const std::string& box)
    {
        ASSERT_TRUE(session->startAnalysis(box));
        while (session->isRunning())
            std::this_thread::sleep_for(1ms);
        session->waitForWorkers();
        ui.drain();
    }

    OutcomeSite site;
    FetchLimits limits;
    testing::PlainThreadDispatcher ui;
    TipDisplay display;
    std::unique_ptr<AnalysisSession> session;
};

TEST_F(RunDetailsTest, TheRunKeepsEachFundsFactsAndPostsItsSummaryAsTheLabelsTooltip)
{
    EXPECT_TRUE(session->lastRunFunds().empty()) << "no run yet";
    runAndSettle("481010\r\n519999\r\n000404\r\n002264\r\n1234567");

    const std::vector<FundInfo> funds = session->lastRunFunds();
    ASSERT_EQ(funds.size(), 4U) << "the seven-byte line is not analysed";
    EXPECT_EQ(funds[0].code, "481010");
    EXPECT_EQ(funds[0].outcome, FundOutcome::HoldingsRead);
    EXPECT_EQ(funds[0].asOfDate, "2024-03-31");
    EXPECT_EQ(funds[0].holdings,
              (std::vector<FundHolding>{{gbk("贵州茅台"), 5.5F}, {gbk("宁德时代"), 4.25F}}));
    EXPECT_EQ(funds[1].code, "519999");
    EXPECT_EQ(funds[1].outcome, FundOutcome::NoHoldingsTable);
    EXPECT_EQ(funds[2].code, "000404");
    EXPECT_EQ(funds[2].outcome, FundOutcome::PageNotFetched);
    EXPECT_EQ(funds[3].code, "002264");
    EXPECT_EQ(funds[3].name, gbk("华夏乐享"));
    EXPECT_EQ(funds[3].asOfDate, "2023-12-31");

    // The tooltip is emptied when the run starts and set once the run is done; the label's own text
    // runs as before.
    const std::string summary =
        gbk("481010 已读取持仓\n519999 无股票持仓表\n000404 页面未能获取\n002264 已读取持仓");
    EXPECT_EQ(display.events, (std::vector<std::string>{
                                  "tip ",
                                  "text " + gbk("20 % , 解析基金代码 481010 中…… "),
                                  "text " + gbk("40 % , 解析基金代码 519999 中…… "),
                                  "text " + gbk("60 % , 解析基金代码 000404 中…… "),
                                  "text " + gbk("80 % , 解析基金代码 002264 中…… "),
                                  "text ",
                                  "tip " + summary,
                              }));
}

TEST_F(RunDetailsTest, EachRowCarriesItsContributingFundsInTheTableAndInItsTooltip)
{
    runAndSettle("481010\r\n002264");
    const RecordList table = session->tableSnapshot();
    ASSERT_EQ(table.size(), 2U);
    ASSERT_EQ(display.rows.size(), 2U);
    // 贵州茅台: one row of 481010 and two of 002264, in analysis order; count and ratio as before.
    EXPECT_EQ(table[0].name, gbk("贵州茅台"));
    EXPECT_EQ(table[0].repeatCount, 3);
    EXPECT_EQ(table[0].sources,
              (std::vector<FundShare>{{"481010", 5.5F}, {"002264", 4.0F}, {"002264", 1.5F}}));
    EXPECT_EQ(display.rows[0].cells, view::cellTexts(table[0]));
    EXPECT_EQ(display.rows[0].toolTip, "481010 5.5%\n002264 4%\n002264 1.5%");
    EXPECT_EQ(display.rows[1].toolTip, "481010 4.25%");

    // A sort's refill sends the tooltips along with the rows in their new order.
    ASSERT_TRUE(session->sortAndShow(SortKey::Ratio));
    session->waitForWorkers();
    ui.drain();
    const RecordList sorted = session->tableSnapshot();
    ASSERT_EQ(display.rows.size(), sorted.size());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        EXPECT_EQ(display.rows[i].cells, view::cellTexts(sorted[i]));
        EXPECT_EQ(display.rows[i].toolTip, contributingFundsText(sorted[i]));
    }

    // The details of a row come with the facts of the same run.
    const auto details = session->detailsAtRow(0);
    ASSERT_TRUE(details.has_value());
    EXPECT_EQ(details->record, sorted[0]);
    ASSERT_EQ(details->funds.size(), 2U);
    EXPECT_EQ(details->funds[1].asOfDate, "2023-12-31");
    EXPECT_FALSE(session->detailsAtRow(2).has_value());
    EXPECT_FALSE(session->detailsAtRow(-1).has_value());
}

TEST_F(RunDetailsTest, EachRunReplacesTheFundsAsAWhole)
{
    runAndSettle("481010\r\n002264");
    ASSERT_EQ(session->lastRunFunds().size(), 2U);
    runAndSettle("519999");
    const std::vector<FundInfo> funds = session->lastRunFunds();
    ASSERT_EQ(funds.size(), 1U);
    EXPECT_EQ(funds[0].code, "519999");
    EXPECT_EQ(session->tableSize(), 0U);
    EXPECT_EQ(display.events.back(), "tip " + gbk("519999 无股票持仓表"));

    runAndSettle("");
    EXPECT_TRUE(session->lastRunFunds().empty());
    EXPECT_EQ(display.events.back(), "tip ") << "a run of no codes leaves no summary";
}

}  // namespace
}  // namespace corvelle::collect

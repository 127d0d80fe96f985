// The analysis session against a real HTTP server: the run's captions and rows as the display receives
// them, the sorts and refills, the refusals during a run, and stopping a run that is under way.
#include "collect/analysis_session.h"

#include "tests/collect/analysis_fixtures.h"
#include "view/cell_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace corvelle::collect {
namespace {

using testing::gbk;
using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

// Short limits, so a fault shows as a failed test rather than a long wait.
FetchLimits testLimits()
{
    FetchLimits limits;
    limits.connectTimeout = 2s;
    limits.totalTimeout = 20s;
    return limits;
}

class AnalysisSessionTest : public ::testing::Test {
protected:
    // Waits until the run has ended, every worker is joined and every posted task has run.
    void settle()
    {
        while (session->isRunning())
            std::this_thread::sleep_for(1ms);
        session->waitForWorkers();
        ui.drain();
    }

    // The rows the display should show for the table as it stands.
    std::vector<CellRow> tableRows() const
    {
        std::vector<CellRow> rows;
        for (const HoldingRecord& record : session->tableSnapshot())
            rows.push_back(view::cellTexts(record));
        return rows;
    }

    testing::FixtureFundSite site;
    testing::PlainThreadDispatcher ui;
    testing::RecordingDisplay display{ui};
    std::unique_ptr<AnalysisSession> session =
        std::make_unique<AnalysisSession>(ui, display, site.addresses(), testLimits());
};

CellRow row(const char* code, const char* nameUtf8, const char* price, const char* ratio, const char* count)
{
    return {code, gbk(nameUtf8), price, ratio, count};
}

std::multiset<CellRow> asSet(std::vector<CellRow>::const_iterator begin,
                             std::vector<CellRow>::const_iterator end)
{
    return {begin, end};
}

TEST_F(AnalysisSessionTest, TwoCodesShowProgressInOrderThenTheMergedTableByCount)
{
    ASSERT_TRUE(session->startAnalysis("481010\r\n002264"));
    settle();

    EXPECT_EQ(display.progress,
              (Lines{gbk("50 % , 解析基金代码 481010 中…… "), gbk("100 % , 解析基金代码 002264 中…… "), ""}));
    ASSERT_EQ(display.rows.size(), 4U);
    EXPECT_EQ(display.rows[0], row("600519", "贵州茅台", "1800.5", "9.5", "2"));
    EXPECT_EQ(asSet(display.rows.begin() + 1, display.rows.end()),
              (std::multiset<CellRow>{row("300750", "宁德时代", "187.25", "4.25", "1"),
                                      row("00700", "腾讯控股", "320.4", "3", "1"),
                                      row("600036", "招商银行", "35.12", "2.5", "1")}));
    EXPECT_EQ(display.rows, tableRows());
    EXPECT_EQ(site.server().requestCount("/481010.html"), 1);
    EXPECT_EQ(site.server().requestCount("/002264.html"), 1);
    // The list was emptied when the run started, the label emptied before the list was refilled.
    ASSERT_GE(display.events.size(), 5U);
    EXPECT_EQ(display.events.front(), "clear");
    const auto emptied = std::find(display.events.begin(), display.events.end(), "progress ");
    ASSERT_NE(emptied, display.events.end());
    EXPECT_EQ(*(emptied + 1), "clear");
    EXPECT_EQ(display.events.back().rfind("row ", 0), 0U);
    EXPECT_FALSE(display.calledOffUiThread);
}

TEST_F(AnalysisSessionTest, RepeatsBlankLinesAndWrongLengthsAreWalkedAsTheBoxGivesThem)
{
    ASSERT_TRUE(
        session->startAnalysis("481010\r\n481010\r\n\r\n0022640\r\n002264\r\n\r\nabcdef\r\n00226\r\n"));
    settle();

    // n = 6 after de-duplication: 481010, "", 0022640, 002264, abcdef, 00226.
    EXPECT_EQ(display.progress,
              (Lines{gbk("16.66 % , 解析基金代码 481010 中…… "), gbk("66.66 % , 解析基金代码 002264 中…… "),
                     gbk("83.33 % , 解析基金代码 abcdef 中…… "), ""}));
    for (const char* page : {"/481010.html", "/002264.html", "/abcdef.html"})
        EXPECT_EQ(site.server().requestCount(page), 1) << page;
    EXPECT_EQ(site.server().requestCount("/0022640.html"), 0);
    EXPECT_EQ(site.server().requestCount("/00226.html"), 0);
    // The US holding's link is protocol-relative: its page was read for the market number.
    EXPECT_EQ(site.server().requestCount("/usAAPL.html"), 1);

    ASSERT_EQ(display.rows.size(), 5U);
    EXPECT_EQ(display.rows[0], row("600519", "贵州茅台", "1800.5", "12.75", "3"));
    EXPECT_EQ(display.rows[1], row("300750", "宁德时代", "187.25", "5.25", "2"));
    EXPECT_EQ(asSet(display.rows.begin() + 2, display.rows.end()),
              (std::multiset<CellRow>{row("00700", "腾讯控股", "320.4", "3", "1"),
                                      row("600036", "招商银行", "35.12", "2.5", "1"),
                                      row("usAAPL", "苹果", "187.3", "0.5", "1")}));
    EXPECT_EQ(display.rows, tableRows());
}

TEST_F(AnalysisSessionTest, FundsWithoutHoldingsAddNothing)
{
    ASSERT_TRUE(session->startAnalysis("000404\r\n519999\r\n002264"));
    settle();
    EXPECT_EQ(site.server().requestCount("/000404.html"), 1);
    EXPECT_EQ(site.server().requestCount("/519999.html"), 1);
    EXPECT_EQ(asSet(display.rows.begin(), display.rows.end()),
              (std::multiset<CellRow>{row("600519", "贵州茅台", "1800.5", "4", "1"),
                                      row("600036", "招商银行", "35.12", "2.5", "1")}));
    EXPECT_EQ(display.rows, tableRows());
}

TEST_F(AnalysisSessionTest, EmptyBoxEmptiesTableListAndLabel)
{
    ASSERT_TRUE(session->startAnalysis("481010"));
    settle();
    ASSERT_EQ(session->tableSize(), 3U);
    site.server().clearRequests();

    ASSERT_TRUE(session->startAnalysis(""));
    settle();
    EXPECT_TRUE(site.server().requests().empty());
    EXPECT_EQ(session->tableSize(), 0U);
    EXPECT_TRUE(display.rows.empty());
    EXPECT_EQ(display.progress.back(), "");
}

TEST_F(AnalysisSessionTest, SortPressesReorderTheListByEachKey)
{
    ASSERT_TRUE(session->startAnalysis("481010\r\n002264\r\nabcdef"));
    settle();
    const RecordList afterRun = session->tableSnapshot();

    struct Press {
        SortKey key;
        float (*value)(const CellRow&);
    };
    const Press presses[] = {
        {SortKey::Price, [](const CellRow& r) { return std::stof(r[2]); }},
        {SortKey::Ratio, [](const CellRow& r) { return std::stof(r[3]); }},
        {SortKey::RepeatCount, [](const CellRow& r) { return std::stof(r[4]); }},
        {SortKey::Price, [](const CellRow& r) { return std::stof(r[2]); }},
    };
    for (const Press& press : presses) {
        ASSERT_TRUE(session->sortAndShow(press.key));
        settle();
        ASSERT_EQ(display.rows, tableRows());
        for (std::size_t i = 1; i < display.rows.size(); ++i)
            EXPECT_GE(press.value(display.rows[i - 1]), press.value(display.rows[i])) << display.rows[i][1];
    }
    // Whole records moved: the table holds the run's records, each with its own fields.
    RecordList now = session->tableSnapshot();
    RecordList before = afterRun;
    const auto byName = [](const HoldingRecord& a, const HoldingRecord& b) { return a.name < b.name; };
    std::sort(now.begin(), now.end(), byName);
    std::sort(before.begin(), before.end(), byName);
    EXPECT_EQ(now, before);
    EXPECT_FALSE(display.calledOffUiThread);
}

TEST_F(AnalysisSessionTest, SortOfAnEmptyTableStillRefillsAnEmptyList)
{
    ASSERT_TRUE(session->sortAndShow(SortKey::Ratio));
    settle();
    EXPECT_TRUE(display.rows.empty());
    EXPECT_EQ(display.clearCount, 1);
}

TEST_F(AnalysisSessionTest, RefillingTwiceShowsTheRowsOnce)
{
    ASSERT_TRUE(session->startAnalysis("481010\r\n002264"));
    settle();
    session->refillResultsList();
    session->refillResultsList();
    settle();
    EXPECT_EQ(display.rows, tableRows());
    EXPECT_FALSE(display.duplicateRowSeen);
}

TEST_F(AnalysisSessionTest, LinkAtRowGivesTheRecordAtThatPositionOrNothing)
{
    ASSERT_TRUE(session->startAnalysis("481010"));
    settle();
    const RecordList table = session->tableSnapshot();
    ASSERT_EQ(table.size(), 3U);
    // 481010 holds three stocks once each: their order by count is open, so read it from the table.
    EXPECT_EQ(session->linkAtRow(0), table[0].link);
    EXPECT_EQ(session->linkAtRow(2), table[2].link);
    EXPECT_EQ(session->linkAtRow(2).value_or("").rfind(site.server().baseUrl() + "/", 0), 0U);
    EXPECT_EQ(session->linkAtRow(-1), std::nullopt);
    EXPECT_EQ(session->linkAtRow(3), std::nullopt);
}

// A fund page that holds the request until the test lets it go, so a run can be caught in flight.
class HeldPage {
public:
    explicit HeldPage(testing::TestServer& server)
    {
        server.get("/900001.html", [this](const httplib::Request&, httplib::Response& response) {
            std::unique_lock lock(m_mutex);
            m_entered = true;
            m_changed.notify_all();
            m_changed.wait_for(lock, 15s, [this] { return m_released; });
            m_answered = true;
            response.set_content(testing::fundPage({{"/sh600519.html", "贵州茅台", "1.0"}}, "", 0),
                                 "text/html; charset=utf-8");
        });
    }
    ~HeldPage() { release(); }

    void waitUntilEntered()
    {
        std::unique_lock lock(m_mutex);
        ASSERT_TRUE(m_changed.wait_for(lock, 15s, [this] { return m_entered; })) << "the run never asked";
    }
    void release()
    {
        const std::lock_guard lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }
    // True once the page has been answered: after release, or when the hold timed out.
    bool answered()
    {
        const std::lock_guard lock(m_mutex);
        return m_answered;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_entered = false;
    bool m_released = false;
    bool m_answered = false;
};

// The held page must be registered before the server starts, so these tests build their own site.
class HeldRunTest : public ::testing::Test {
protected:
    HeldRunTest()
    {
        server.get("/api/qt/stock/get", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(testing::quoteReply("10.5"), "application/json");
        });
        server.start();
        session = std::make_unique<AnalysisSession>(
            ui, display, ServiceAddresses{server.baseUrl() + "/", server.baseUrl()}, testLimits());
    }

    testing::TestServer server;
    HeldPage held{server};
    testing::PlainThreadDispatcher ui;
    testing::RecordingDisplay display{ui};
    std::unique_ptr<AnalysisSession> session;
};

TEST_F(HeldRunTest, SecondStartSortsAndRefillsAreRefusedWhileARunIsActive)
{
    ASSERT_TRUE(session->startAnalysis("900001"));
    held.waitUntilEntered();
    EXPECT_TRUE(session->isRunning());
    EXPECT_FALSE(session->startAnalysis("900001"));
    EXPECT_FALSE(session->sortAndShow(SortKey::Price));
    session->refillResultsList();
    ui.drain();
    EXPECT_TRUE(display.rows.empty()) << "the list stays empty until the run's own refill";
    EXPECT_EQ(display.clearCount, 1);

    held.release();
    while (session->isRunning())
        std::this_thread::sleep_for(1ms);
    session->waitForWorkers();
    ui.drain();
    EXPECT_EQ(server.requestCount("/900001.html"), 1);
    EXPECT_EQ(display.rows, (std::vector<CellRow>{{"600519", gbk("贵州茅台"), "10.5", "1", "1"}}));
    EXPECT_TRUE(session->sortAndShow(SortKey::Price)) << "taken again once the run has ended";
}

TEST_F(HeldRunTest, ShutdownAbortsTheTransferInProgressAndJoinsTheRun)
{
    ASSERT_TRUE(session->startAnalysis("900001\r\n900002"));
    held.waitUntilEntered();
    session->shutdown();
    // shutdown returned while the server still held the page: the transfer was aborted, not waited for.
    EXPECT_FALSE(held.answered());
    held.release();
    EXPECT_FALSE(session->isRunning());
    EXPECT_EQ(session->tableSize(), 0U);
    EXPECT_FALSE(session->startAnalysis("900001")) << "nothing starts after shutdown";
    EXPECT_FALSE(session->sortAndShow(SortKey::Ratio));
    ui.drain();
    EXPECT_TRUE(display.rows.empty());
    EXPECT_EQ(server.requestCount("/900002.html"), 0) << "the run stopped walking its lines";
}

TEST_F(HeldRunTest, DestroyingTheSessionDuringARunStopsIt)
{
    ASSERT_TRUE(session->startAnalysis("900001"));
    held.waitUntilEntered();
    session.reset();
    EXPECT_FALSE(held.answered());
    held.release();
    // Tasks the run posted before it stopped find the session gone and touch nothing.
    ui.drain();
    EXPECT_FALSE(display.calledOffUiThread);
}

}  // namespace
}  // namespace corvelle::collect

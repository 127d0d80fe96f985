// The program's main job on the real main window, offscreen: codes typed into the box, a release over
// 分析, the run against a real HTTP server, the filled list, the header sorts and the double-click.
#include "app/main_window.h"
#include "app/windowing.h"
#include "collect/analysis_session.h"
#include "tests/collect/analysis_fixtures.h"
#include "tests/view/view_qt_support.h"
#include "view/cell_texts.h"
#include "view/link_opener.h"
#include "view/qt_ui_dispatcher.h"
#include "view/results_view_wiring.h"

#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace corvelle::view {
namespace {

using collect::CellRow;
using testing::gbk;
using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

collect::FetchLimits testLimits()
{
    collect::FetchLimits limits;
    limits.connectTimeout = 2s;
    limits.totalTimeout = 20s;
    return limits;
}

// Types lines into the code box as a user would, Return between them.
void typeLines(QPlainTextEdit* box, const Lines& lines)
{
    box->setFocus();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, QString::fromStdString(lines[i]));
    }
}

class AnalysisWindowTest : public ::testing::Test {
protected:
    AnalysisWindowTest()
    {
        connectResultsView(window, session, connections);
        app::setControlText(window.codeBox(), std::string());
        window.show();
        app::setWebAddressHandler([this](const std::string& address) { opened.push_back(address); });
    }
    ~AnalysisWindowTest() override { app::setWebAddressHandler({}); }

    // Waits until the run or refill under way has ended and the list holds what it was sent.
    void settle()
    {
        ASSERT_TRUE(testing::waitUntil([&] { return !session.isRunning(); }));
        session.waitForWorkers();
        testing::processPosted();
    }

    std::vector<CellRow> tableRows() const
    {
        std::vector<CellRow> rows;
        for (const collect::HoldingRecord& record : session.tableSnapshot())
            rows.push_back(cellTexts(record));
        return rows;
    }

    testing::FixtureFundSite site;
    app::MainWindow window;
    QtUiDispatcher dispatcher{&window};
    testing::RecordingQtDisplay display{window.resultsList(), window.progressLabel()};
    collect::AnalysisSession session{dispatcher, display, site.addresses(), testLimits()};
    QObject connections;
    Lines opened;
};

CellRow row(const char* code, const char* nameUtf8, const char* price, const char* ratio, const char* count)
{
    return {code, gbk(nameUtf8), price, ratio, count};
}

TEST_F(AnalysisWindowTest, TypedCodesAreAnalysedSortedAndShownThenEachHeaderSorts)
{
    QTreeWidget* list = window.resultsList();
    typeLines(window.codeBox(), {"481010", "481010", "", "0022640", "002264", "abcdef"});
    ASSERT_EQ(app::editBoxText(window.codeBox()), "481010\r\n481010\r\n\r\n0022640\r\n002264\r\nabcdef");

    QTest::mouseClick(window.analyseLabel(), Qt::LeftButton);
    settle();

    // After de-duplication n = 5: 481010, "", 0022640 (seven bytes, skipped), 002264, abcdef.
    EXPECT_EQ(display.progress,
              (Lines{gbk("20 % , 解析基金代码 481010 中…… "), gbk("80 % , 解析基金代码 002264 中…… "),
                     gbk("100 % , 解析基金代码 abcdef 中…… "), ""}));
    EXPECT_TRUE(window.progressLabel()->text().isEmpty());
    for (const char* page : {"/481010.html", "/002264.html", "/abcdef.html"})
        EXPECT_EQ(site.server().requestCount(page), 1) << page;
    EXPECT_EQ(site.server().requestCount("/0022640.html"), 0);

    const std::vector<CellRow> shown = testing::listRows(list);
    ASSERT_EQ(shown.size(), 5U);
    EXPECT_EQ(shown[0], row("600519", "贵州茅台", "1800.5", "12.75", "3"));
    EXPECT_EQ(shown[1], row("300750", "宁德时代", "187.25", "5.25", "2"));
    EXPECT_EQ(std::multiset<CellRow>(shown.begin() + 2, shown.end()),
              (std::multiset<CellRow>{row("00700", "腾讯控股", "320.4", "3", "1"),
                                      row("600036", "招商银行", "35.12", "2.5", "1"),
                                      row("usAAPL", "苹果", "187.3", "0.5", "1")}));
    EXPECT_EQ(shown, tableRows());

    struct Header {
        app::ClickLabel* label;
        std::size_t column;
    };
    for (const Header& header : {Header{window.priceLabel(), 2}, Header{window.ratioLabel(), 3},
                                 Header{window.repeatCountLabel(), 4}, Header{window.priceLabel(), 2}}) {
        QTest::mouseClick(header.label, Qt::LeftButton);
        settle();
        const std::vector<CellRow> sorted = testing::listRows(list);
        ASSERT_EQ(sorted, tableRows()) << header.label->objectName().toStdString();
        for (std::size_t i = 1; i < sorted.size(); ++i)
            EXPECT_GE(std::stod(sorted[i - 1][header.column]), std::stod(sorted[i][header.column]));
        EXPECT_EQ(std::multiset<CellRow>(sorted.begin(), sorted.end()),
                  std::multiset<CellRow>(shown.begin(), shown.end()))
            << "whole rows move";
    }
    EXPECT_EQ(window.priceLabel()->text(), QString::fromUtf8("价格▼")) << "captions never change";

    const std::vector<CellRow> beforeNameClicks = testing::listRows(list);
    const collect::RecordList tableBefore = session.tableSnapshot();
    QTest::mouseClick(window.codeCaptionLabel(), Qt::LeftButton);
    QTest::mouseClick(window.nameCaptionLabel(), Qt::LeftButton);
    settle();
    EXPECT_EQ(testing::listRows(list), beforeNameClicks);
    EXPECT_EQ(session.tableSnapshot(), tableBefore);
}

TEST_F(AnalysisWindowTest, DoubleClickOnTheThirdRowOpensTheThirdRecordsLink)
{
    typeLines(window.codeBox(), {"481010", "002264"});
    QTest::mouseClick(window.analyseLabel(), Qt::LeftButton);
    settle();
    QTreeWidget* list = window.resultsList();
    ASSERT_EQ(app::rowCount(list), 4);
    const QRect third = list->visualItemRect(list->topLevelItem(2));
    // A user's double-click: press and release, then the second press that arrives as the double-click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, third.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, third.center());
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, third.center());
    EXPECT_EQ(app::currentSelection(list), 2);
    ASSERT_EQ(opened.size(), 1U);
    EXPECT_EQ(opened[0], session.linkAtRow(2).value_or("none"));
}

TEST_F(AnalysisWindowTest, ReleaseDuringARunAndPressesOnSortLabelsAreRefused)
{
    typeLines(window.codeBox(), {"481010", "002264", "abcdef"});
    QTest::mouseClick(window.analyseLabel(), Qt::LeftButton);
    ASSERT_TRUE(session.isRunning());
    QTest::mouseClick(window.analyseLabel(), Qt::LeftButton);
    QTest::mouseClick(window.priceLabel(), Qt::LeftButton);
    settle();
    EXPECT_EQ(site.server().requestCount("/481010.html"), 1) << "the second release started no run";
    EXPECT_EQ(testing::listRows(window.resultsList()), tableRows());
    EXPECT_EQ(display.progress.size(), 4U) << "one run's captions only";
}

// The bundle the program uses: made over the window, it answers the window's own labels.
TEST(ResultsView, ReleaseOverAnalyseFillsTheWindowsList)
{
    testing::FixtureFundSite site;
    app::MainWindow window;
    ResultsView view(window, site.addresses(), testLimits());
    app::setControlText(window.codeBox(), std::string("002264"));
    QTest::mouseClick(window.analyseLabel(), Qt::LeftButton);
    ASSERT_TRUE(testing::waitUntil(
        [&] { return !view.session().isRunning() && app::rowCount(window.resultsList()) == 2; }));
    view.session().waitForWorkers();
    testing::processPosted();
    const std::vector<CellRow> shown = testing::listRows(window.resultsList());
    EXPECT_EQ(std::multiset<CellRow>(shown.begin(), shown.end()),
              (std::multiset<CellRow>{row("600519", "贵州茅台", "1800.5", "4", "1"),
                                      row("600036", "招商银行", "35.12", "2.5", "1")}));
}

TEST(ResultsView, ClosingTheWindowDuringARunAbortsTheTransferAndJoinsTheRun)
{
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool released = false;
    bool answered = false;
    testing::TestServer server;
    server.get("/900001.html", [&](const httplib::Request&, httplib::Response& response) {
        std::unique_lock lock(mutex);
        entered = true;
        changed.notify_all();
        changed.wait_for(lock, 15s, [&] { return released; });
        answered = true;
        response.set_content("<html></html>", "text/html");
    });
    server.start();
    {
        app::MainWindow window;
        ResultsView view(window, {server.baseUrl() + "/", server.baseUrl()}, testLimits());
        window.show();
        app::setControlText(window.codeBox(), std::string("900001"));
        QTest::mouseClick(window.analyseLabel(), Qt::LeftButton);
        {
            std::unique_lock lock(mutex);
            ASSERT_TRUE(changed.wait_for(lock, 15s, [&] { return entered; }));
        }
        window.close();
        EXPECT_FALSE(view.session().isRunning());
        const std::lock_guard lock(mutex);
        EXPECT_FALSE(answered) << "the window waited for the server instead of aborting";
    }
    {
        const std::lock_guard lock(mutex);
        released = true;
        changed.notify_all();
    }
}

}  // namespace
}  // namespace corvelle::view

// The Qt display and dispatcher on real widgets: rows and captions reach the list and label on the UI
// thread, in order, and nothing reaches a receiver that has gone away.
#include "view/qt_results_display.h"
#include "view/qt_ui_dispatcher.h"

#include "app/windowing.h"
#include "collect/analysis_session.h"
#include "tests/collect/analysis_fixtures.h"
#include "tests/view/view_qt_support.h"
#include "view/cell_texts.h"

#include <QApplication>
#include <QLabel>
#include <QThread>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <random>
#include <thread>
#include <vector>

namespace corvelle::view {
namespace {

using testing::gbk;
using namespace std::chrono_literals;

std::unique_ptr<QTreeWidget> makeList()
{
    auto list = std::make_unique<QTreeWidget>();
    list->setColumnCount(5);
    return list;
}

TEST(QtResultsDisplay, RowsAndCaptionReachTheWidgets)
{
    const auto list = makeList();
    QLabel label;
    QtResultsDisplay display(list.get(), &label);
    display.appendRow({"600519", gbk("贵州茅台"), "1800.5", "12.75", "3"});
    display.appendRow({"", "", "0", "4.1", "1"});
    ASSERT_EQ(display.rowCount(), 2);
    EXPECT_EQ(testing::listRows(list.get()),
              (std::vector<collect::CellRow>{{"600519", gbk("贵州茅台"), "1800.5", "12.75", "3"},
                                             {"", "", "0", "4.1", "1"}}));
    display.setProgressText(gbk("50 % , 解析基金代码 481010 中…… "));
    EXPECT_EQ(label.text(), QString::fromUtf8("50 % , 解析基金代码 481010 中…… "));
    display.clearRows();
    EXPECT_EQ(display.rowCount(), 0);
    EXPECT_EQ(app::rowCount(list.get()), 0);
}

TEST(QtResultsDisplay, WidgetsThatAreGoneAreLeftAlone)
{
    auto list = makeList();
    auto label = std::make_unique<QLabel>();
    QtResultsDisplay display(list.get(), label.get());
    list.reset();
    label.reset();
    display.appendRow({"a", "b", "1", "2", "3"});
    display.setProgressText("x");
    display.clearRows();
    EXPECT_EQ(display.rowCount(), 0);
}

TEST(QtUiDispatcher, TasksFromWorkersRunOnTheUiThreadInPostingOrder)
{
    QtUiDispatcher dispatcher;
    std::vector<int> seen;
    std::atomic<bool> offUiThread{false};
    const Qt::HANDLE uiThread = QThread::currentThreadId();
    std::vector<std::thread> workers;
    for (int worker = 0; worker < 3; ++worker) {
        workers.emplace_back([&, worker] {
            for (int i = 0; i < 200; ++i) {
                dispatcher.post([&, value = worker * 1000 + i] {
                    if (QThread::currentThreadId() != uiThread)
                        offUiThread = true;
                    seen.push_back(value);
                });
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    ASSERT_TRUE(testing::waitUntil([&] { return seen.size() == 600; }));
    EXPECT_FALSE(offUiThread);
    for (int worker = 0; worker < 3; ++worker) {
        std::vector<int> own;
        for (int value : seen) {
            if (value / 1000 == worker)
                own.push_back(value % 1000);
        }
        ASSERT_EQ(own.size(), 200U);
        EXPECT_TRUE(std::is_sorted(own.begin(), own.end())) << "worker " << worker;
    }
}

TEST(QtUiDispatcher, TasksQueuedOrPostedAfterTheReceiverIsGoneAreDropped)
{
    auto parent = std::make_unique<QObject>();
    QtUiDispatcher dispatcher(parent.get());
    int ran = 0;
    dispatcher.post([&ran] { ++ran; });
    testing::processPosted();
    ASSERT_EQ(ran, 1);

    dispatcher.post([&ran] { ++ran; });  // queued, not yet run
    parent.reset();
    std::thread late([&dispatcher, &ran] { dispatcher.post([&ran] { ++ran; }); });
    late.join();
    testing::processPosted();
    EXPECT_EQ(ran, 1);
}

TEST(QtUiDispatcher, DestroyingTheDispatcherDropsItsQueuedTasks)
{
    int ran = 0;
    QObject parent;
    {
        QtUiDispatcher owning;
        owning.post([&ran] { ++ran; });
        QtUiDispatcher parented(&parent);
        parented.post([&ran] { ++ran; });
    }
    testing::processPosted();
    EXPECT_EQ(ran, 0);
}

// The session's storm again, this time through the real dispatcher into real widgets (the
// sanitizer build checks memory and undefined behaviour here; Qt itself is not built for the thread
// sanitizer, which is why the core's storm runs there instead).
TEST(QtSession, StormOfRunsSortsAndRefillsEndsWithTheFinalTableInTheList)
{
    testing::FixtureFundSite site(1ms);
    const auto list = makeList();
    QLabel label;
    QtUiDispatcher dispatcher;
    QtResultsDisplay display(list.get(), &label);
    const std::vector<std::string> boxes{"481010\r\n002264", "abcdef\r\n481010", "",
                                         "481010\r\n002264\r\nabcdef"};
    collect::FetchLimits limits;
    limits.totalTimeout = 10s;
    for (unsigned round = 0; round < 4; ++round) {
        collect::AnalysisSession session(dispatcher, display, site.addresses(), limits);
        session.refillResultsList();
        std::atomic<int> finished{0};
        std::vector<std::thread> threads;
        for (unsigned t = 0; t < 3; ++t) {
            threads.emplace_back([&, seed = round * 10 + t] {
                std::mt19937 random(seed);
                for (int i = 0; i < 30; ++i) {
                    switch (random() % 4) {
                    case 0:
                        (void)session.startAnalysis(boxes[random() % boxes.size()]);
                        break;
                    case 1:
                        (void)session.sortAndShow(static_cast<collect::SortKey>(random() % 3));
                        break;
                    case 2:
                        session.refillResultsList();
                        break;
                    default:
                        (void)session.linkAtRow(static_cast<int>(random() % 6));
                        break;
                    }
                    std::this_thread::sleep_for(std::chrono::microseconds(random() % 1500));
                }
                ++finished;
            });
        }
        // The UI thread keeps handling events, and the export's row check, while the storm goes on.
        int exportChecks = 0;
        ASSERT_TRUE(testing::waitUntil([&] {
            if (static_cast<std::size_t>(app::rowCount(list.get())) >= session.tableSize())
                ++exportChecks;
            return finished.load() == 3;
        }));
        EXPECT_GT(exportChecks, 0);
        for (std::thread& thread : threads)
            thread.join();
        ASSERT_TRUE(testing::waitUntil([&] { return !session.isRunning(); }));
        session.waitForWorkers();
        testing::processPosted();
        std::vector<collect::CellRow> expected;
        for (const collect::HoldingRecord& record : session.tableSnapshot())
            expected.push_back(cellTexts(record));
        ASSERT_EQ(testing::listRows(list.get()), expected) << "round " << round;
    }
}

}  // namespace
}  // namespace corvelle::view

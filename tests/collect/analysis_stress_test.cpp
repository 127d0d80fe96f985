// Runs, sorts, refills and table reads fired at random from several threads against a slow server:
// the list must always end showing the final table once, in order, and nothing may race or deadlock.
#include "collect/analysis_session.h"

#include "tests/collect/analysis_fixtures.h"
#include "view/cell_texts.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace corvelle::collect {
namespace {

using namespace std::chrono_literals;

constexpr int kThreads = 4;
constexpr int kOperationsPerThread = 40;

const std::vector<std::string> kBoxes{"481010\r\n002264",
                                      "abcdef\r\n110011",
                                      "002264",
                                      "481010\r\n002264\r\nabcdef\r\n110011",
                                      "",
                                      "000404\r\n481010\r\n481010",
                                      "110011\r\n002264"};
// The most rows any of these boxes gives: five shared stocks and 110011's ten.
constexpr std::size_t kLargestTable = 15;

FetchLimits stressLimits()
{
    FetchLimits limits;
    limits.connectTimeout = 2s;
    limits.totalTimeout = 10s;
    return limits;
}

// What the storm did, so a test can tell that runs and sorts really collided.
struct StormCounts {
    std::atomic<int> runsStarted{0};
    std::atomic<int> refusedDuringRun{0};
    std::atomic<int> exportChecks{0};
};

// One thread's share of the storm. The export check runs where the export command runs, on the UI
// thread: it compares the list's rows with the table's size.
void fireOperations(AnalysisSession& session, testing::PlainThreadDispatcher& ui,
                    testing::RecordingDisplay& display, unsigned seed, StormCounts& counts)
{
    std::mt19937 random(seed);
    const auto pick = [&random](int count) {
        return std::uniform_int_distribution<int>(0, count - 1)(random);
    };
    for (int i = 0; i < kOperationsPerThread; ++i) {
        switch (pick(7)) {
        case 0:
            if (session.startAnalysis(
                    kBoxes[static_cast<std::size_t>(pick(static_cast<int>(kBoxes.size())))]))
                counts.runsStarted.fetch_add(1);
            else
                counts.refusedDuringRun.fetch_add(1);
            break;
        case 1:
            if (!session.sortAndShow(static_cast<SortKey>(pick(3))))
                counts.refusedDuringRun.fetch_add(1);
            break;
        case 2:
        case 3:
            session.refillResultsList();
            break;
        case 4:
            (void)session.linkAtRow(pick(8) - 1);
            break;
        case 5:
            ui.post([&session, &display, &counts] {
                if (static_cast<std::size_t>(display.rowCount()) >= session.tableSize())
                    counts.exportChecks.fetch_add(1);
            });
            break;
        default:
            (void)session.tableSnapshot();
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(pick(1500)));
    }
}

TEST(AnalysisSessionStress, RandomOperationsEndWithTheFinalTableShownOnceInOrder)
{
    testing::FixtureFundSite site(2ms);
    testing::PlainThreadDispatcher ui(true);
    testing::RecordingDisplay display(ui);
    StormCounts counts;
    for (unsigned round = 0; round < 8; ++round) {
        AnalysisSession session(ui, display, site.addresses(), stressLimits());
        session.refillResultsList();
        std::vector<std::thread> threads;
        for (unsigned t = 0; t < kThreads; ++t) {
            threads.emplace_back(fireOperations, std::ref(session), std::ref(ui), std::ref(display),
                                 round * 100 + t, std::ref(counts));
        }
        for (std::thread& thread : threads)
            thread.join();
        while (session.isRunning())
            std::this_thread::sleep_for(1ms);
        session.waitForWorkers();
        ui.drain();

        std::vector<CellRow> expected;
        for (const HoldingRecord& record : session.tableSnapshot())
            expected.push_back(view::cellTexts(record));
        ASSERT_EQ(display.rows, expected) << "round " << round;
        ASSERT_FALSE(display.duplicateRowSeen) << "two refills were mixed in round " << round;
        ASSERT_LE(display.maxRowCount, kLargestTable) << "more rows than any table held, round " << round;
        ASSERT_FALSE(display.calledOffUiThread);
    }
    // The storm must really have collided: runs started, and starts and sorts came during runs.
    EXPECT_GT(counts.runsStarted.load(), 8);
    EXPECT_GT(counts.refusedDuringRun.load(), 0);
    EXPECT_GT(counts.exportChecks.load(), 0) << "the export check never found the list in step";
}

TEST(AnalysisSessionStress, ShutdownInTheMiddleOfTheStormStopsEverything)
{
    testing::FixtureFundSite site(2ms);
    testing::PlainThreadDispatcher ui(true);
    testing::RecordingDisplay display(ui);
    StormCounts counts;
    for (unsigned round = 0; round < 6; ++round) {
        AnalysisSession session(ui, display, site.addresses(), stressLimits());
        std::vector<std::thread> threads;
        for (unsigned t = 0; t < kThreads; ++t) {
            threads.emplace_back(fireOperations, std::ref(session), std::ref(ui), std::ref(display),
                                 round * 100 + t + 7, std::ref(counts));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + 7 * round));
        session.shutdown();
        EXPECT_FALSE(session.isRunning()) << "round " << round;
        EXPECT_FALSE(session.startAnalysis(kBoxes[0]));
        for (std::thread& thread : threads)
            thread.join();
        session.waitForWorkers();
        ui.drain();
        ASSERT_FALSE(display.duplicateRowSeen) << "round " << round;
        ASSERT_FALSE(display.calledOffUiThread);
    }
}

}  // namespace
}  // namespace corvelle::collect

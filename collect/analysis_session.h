// AnalysisSession owns the ResultTable, its one lock and every worker thread: analysis runs, header
// sorts and list refills. The one rule that keeps it free of deadlocks: nobody holds the table lock
// while waiting for the UI thread; workers only post to it.
#pragma once

#include "collect/fund_scraper.h"
#include "collect/holding_record.h"
#include "collect/http_client.h"
#include "collect/ui_ports.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace corvelle::collect {

enum class SortKey { RepeatCount, Price, Ratio };

class AnalysisSession {
public:
    AnalysisSession(UiDispatcher& dispatcher, ResultsDisplay& display, ServiceAddresses addresses,
                    FetchLimits limits = {});
    // Stops a run in progress (the transfer under way is aborted) and joins every worker.
    ~AnalysisSession();
    AnalysisSession(const AnalysisSession&) = delete;
    AnalysisSession& operator=(const AnalysisSession&) = delete;

    // UI thread, on the release over the Analyse label. Empties the list and starts a run on a worker
    // over the code box's text (read by the caller, CR LF between lines). Refused (false, nothing
    // happens) while a run is active and after shutdown.
    bool startAnalysis(const std::string& codeBoxText);

    // UI thread, on a press of a sort label: sorts the table descending by key and starts a refill on a
    // worker. Refused (false) while a run is active: the list stays empty until the run's own refill.
    bool sortAndShow(SortKey key);

    // Any thread: snapshots the table's cell texts under the lock and posts the rows to the display in
    // order. A newer refill supersedes an older one still being shown. Does nothing while a run is
    // active, which ends with a refill of its own.
    void refillResultsList();

    // UI thread, on a double-click: the link of the record at a 0-based list row, when there is one.
    [[nodiscard]] std::optional<std::string> linkAtRow(int row) const;

    // The record at a 0-based table row, its contributing funds (sources) included, together with the
    // facts of the funds of the run that made the table: read under one lock, so both always come from
    // the same run. Nothing when the row has no record.
    struct RowDetails {
        HoldingRecord record;
        std::vector<FundInfo> funds;
    };
    [[nodiscard]] std::optional<RowDetails> detailsAtRow(int row) const;

    // What the last completed run learnt of each fund it analysed, in analysis order: code, name, as-of
    // date, outcome and the fund's own rows. Empty before the first run; replaced as a whole by each run
    // that completes (a run stopped by shutdown leaves it, like the table, as it was).
    [[nodiscard]] std::vector<FundInfo> lastRunFunds() const;

    [[nodiscard]] std::size_t tableSize() const;
    [[nodiscard]] RecordList tableSnapshot() const;
    [[nodiscard]] bool isRunning() const { return m_running.load(); }
    [[nodiscard]] const ServiceAddresses& addresses() const { return m_addresses; }

    // Tells a run to stop and joins all workers. Safe to call more than once. Tasks already posted to
    // the display are dropped; nothing starts afterwards.
    void shutdown();
    // Joins every worker started so far (tests and benchmarks).
    void waitForWorkers();

private:
    // What posted tasks reach. Shared with them, so a task that runs after the session is gone finds
    // the channel closed instead of a dangling session.
    struct DisplayChannel {
        explicit DisplayChannel(ResultsDisplay& target) : display(target) {}
        ResultsDisplay& display;
        std::atomic<std::uint64_t> shownGeneration{0};  // the newest refill; older ones stop
        std::atomic<bool> closed{false};
    };

    void runAnalysis(const std::string& codeBoxText);
    // Takes a generation and the cell texts of the table; the caller holds m_tableMutex.
    [[nodiscard]] std::uint64_t nextGenerationLocked();
    // One list row as a refill posts it: the five cell texts and the row's tooltip.
    struct ShownRow {
        CellRow cells;
        std::string toolTip;
    };
    [[nodiscard]] std::vector<ShownRow> cellSnapshotLocked() const;
    void postRows(std::uint64_t generation, std::vector<ShownRow> rows);
    void postClear(std::uint64_t generation);
    void postProgress(std::string text);
    void postProgressToolTip(std::string text);
    // Starts work on an owned thread; false when refused (after shutdown) or the thread cannot start.
    bool startWorker(std::function<void()> work);
    void joinFinishedWorkersLocked();
    std::string fetchForScraper(const std::string& url) const;

    UiDispatcher& m_dispatcher;
    std::shared_ptr<DisplayChannel> m_channel;
    ServiceAddresses m_addresses;
    FetchLimits m_limits;

    mutable std::mutex m_tableMutex;
    RecordList m_table;                    // guarded by m_tableMutex
    std::vector<FundInfo> m_lastRunFunds;  // guarded by m_tableMutex; the run that made m_table
    std::uint64_t m_refillGeneration = 0;  // guarded by m_tableMutex; taken with each snapshot
    std::atomic<bool> m_running{false};    // changed only under m_tableMutex

    // Lock order: m_tableMutex, then m_workersMutex; never the other way.

    std::atomic<bool> m_abort{false};  // set once, by shutdown; also stops the transfer under way

    std::mutex m_workersMutex;
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::list<Worker> m_workers;   // guarded by m_workersMutex
    bool m_workersClosed = false;  // guarded by m_workersMutex
};

}  // namespace corvelle::collect

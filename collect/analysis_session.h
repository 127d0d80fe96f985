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
    // happens) while a run is active.
    bool startAnalysis(const std::string& codeBoxText);

    // UI thread, on a press of a sort label: sorts the table descending by key and starts a refill on a
    // worker. Refused (false) while a run is active.
    bool sortAndShow(SortKey key);

    // Any thread: snapshots the table's cell texts under the lock and posts the rows to the display in
    // order. A newer refill supersedes an older one still being shown.
    void refillResultsList();

    // UI thread, on a double-click: the link of the record at a 0-based list row, when there is one.
    [[nodiscard]] std::optional<std::string> linkAtRow(int row) const;

    [[nodiscard]] std::size_t tableSize() const;
    [[nodiscard]] RecordList tableSnapshot() const;
    [[nodiscard]] bool isRunning() const { return m_running.load(); }

    // Tells a run to stop and joins all workers. Safe to call more than once.
    void shutdown();
    // Joins every worker started so far (tests and benchmarks).
    void waitForWorkers();

private:
    void runAnalysis(std::string codeBoxText);
    void startWorker(std::function<void()> work);
    void joinFinishedWorkers();

    UiDispatcher& m_dispatcher;
    ResultsDisplay& m_display;
    ServiceAddresses m_addresses;
    FetchLimits m_limits;

    mutable std::mutex m_tableMutex;
    RecordList m_table;                   // guarded by m_tableMutex
    std::uint64_t m_refillGeneration = 0; // guarded by m_tableMutex; taken with each snapshot
    std::atomic<std::uint64_t> m_shownGeneration{0};  // newest refill; older ones stop posting rows

    std::atomic<bool> m_running{false};
    std::atomic<bool> m_abort{false};

    std::mutex m_workersMutex;
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::list<Worker> m_workers;  // guarded by m_workersMutex
};

}  // namespace corvelle::collect

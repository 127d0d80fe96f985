// The ResultTable with its one lock, the analysis runs and refills that work on it, and their threads.
#include "collect/analysis_session.h"

#include "collect/analysis_run.h"
#include "collect/web_address.h"
#include "view/cell_texts.h"
#include "view/column_sort.h"

#include <system_error>
#include <utility>

namespace corvelle::collect {

AnalysisSession::AnalysisSession(UiDispatcher& dispatcher, ResultsDisplay& display,
                                 ServiceAddresses addresses, FetchLimits limits)
    : m_dispatcher(dispatcher), m_channel(std::make_shared<DisplayChannel>(display)),
      m_addresses(std::move(addresses)), m_limits(limits)
{
}

AnalysisSession::~AnalysisSession()
{
    shutdown();
}

bool AnalysisSession::startAnalysis(const std::string& codeBoxText)
{
    // All under the table lock, so that shutdown's pass through the lock finds a run either started
    // (and joins it) or refused, never half-way. Posting does not wait for the UI thread.
    const std::lock_guard lock(m_tableMutex);
    if (m_running.load() || m_abort.load())
        return false;
    // Supersedes every refill still queued, so the list stays empty until this run's own refill. The
    // list is emptied even if the worker cannot start: the run then just ends there.
    postRows(nextGenerationLocked(), {});
    // The previous run's summary would describe codes that may no longer be in the box.
    postProgressToolTip({});
    if (!startWorker([this, codeBoxText] { runAnalysis(codeBoxText); }))
        return false;
    m_running.store(true);
    return true;
}

bool AnalysisSession::sortAndShow(SortKey key)
{
    {
        const std::lock_guard lock(m_tableMutex);
        if (m_running.load() || m_abort.load())
            return false;
        const int last = static_cast<int>(m_table.size());
        switch (key) {
        case SortKey::RepeatCount:
            view::sortByRepeatCount(m_table, 1, last);
            break;
        case SortKey::Price:
            view::sortByPrice(m_table, 1, last);
            break;
        case SortKey::Ratio:
            view::sortByRatio(m_table, 1, last);
            break;
        }
    }
    // A refill that cannot start leaves the list in the previous order, as a failed thread start should.
    (void)startWorker([this] { refillResultsList(); });
    return true;
}

void AnalysisSession::refillResultsList()
{
    std::uint64_t generation = 0;
    std::vector<ShownRow> rows;
    {
        const std::lock_guard lock(m_tableMutex);
        if (m_running.load() || m_abort.load())
            return;
        generation = nextGenerationLocked();
        rows = cellSnapshotLocked();
    }
    postRows(generation, std::move(rows));
}

std::optional<std::string> AnalysisSession::linkAtRow(int row) const
{
    const std::lock_guard lock(m_tableMutex);
    if (row < 0 || static_cast<std::size_t>(row) >= m_table.size())
        return std::nullopt;
    return m_table[static_cast<std::size_t>(row)].link;
}

std::optional<AnalysisSession::RowDetails> AnalysisSession::detailsAtRow(int row) const
{
    const std::lock_guard lock(m_tableMutex);
    if (row < 0 || static_cast<std::size_t>(row) >= m_table.size())
        return std::nullopt;
    return RowDetails{m_table[static_cast<std::size_t>(row)], m_lastRunFunds};
}

std::vector<FundInfo> AnalysisSession::lastRunFunds() const
{
    const std::lock_guard lock(m_tableMutex);
    return m_lastRunFunds;
}

std::size_t AnalysisSession::tableSize() const
{
    const std::lock_guard lock(m_tableMutex);
    return m_table.size();
}

RecordList AnalysisSession::tableSnapshot() const
{
    const std::lock_guard lock(m_tableMutex);
    return m_table;
}

void AnalysisSession::shutdown()
{
    std::list<Worker> workers;
    {
        const std::lock_guard lock(m_workersMutex);
        m_abort.store(true);
        m_workersClosed = true;
        workers.swap(m_workers);
    }
    {
        // A start that read the abort flag before it was set has finished or been refused once the
        // lock is free again.
        const std::lock_guard lock(m_tableMutex);
    }
    m_channel->closed.store(true);
    for (Worker& worker : workers)
        worker.thread.join();
}

void AnalysisSession::waitForWorkers()
{
    for (;;) {
        std::list<Worker> workers;
        {
            const std::lock_guard lock(m_workersMutex);
            if (m_workers.empty())
                return;
            workers.swap(m_workers);
        }
        for (Worker& worker : workers)
            worker.thread.join();
    }
}

void AnalysisSession::runAnalysis(const std::string& codeBoxText)
{
    FundScraper scraper(m_addresses, [this](const std::string& url) { return fetchForScraper(url); });
    const bool complete = collectHoldings(
        codeBoxText, scraper, [this](const std::string& caption) { postProgress(caption); }, m_abort);
    if (!complete) {
        // Stopped by shutdown: the window is going away, so the table is left as it was.
        const std::lock_guard lock(m_tableMutex);
        m_running.store(false);
        return;
    }
    // The scraper goes with this function, so what it learnt of each fund is kept now, with the table
    // it made.
    std::string summary = runSummary(scraper.funds());
    {
        const std::lock_guard lock(m_tableMutex);
        scraper.mergeInto(m_table);
        m_lastRunFunds = scraper.funds();
    }
    postProgress({});
    postProgressToolTip(std::move(summary));
    std::uint64_t generation = 0;
    std::vector<ShownRow> rows;
    {
        const std::lock_guard lock(m_tableMutex);
        view::sortByRepeatCount(m_table, 1, static_cast<int>(m_table.size()));
        generation = nextGenerationLocked();
        rows = cellSnapshotLocked();
        // From here on sorts and refills are taken again; any of them supersedes this refill.
        m_running.store(false);
    }
    postRows(generation, std::move(rows));
}

std::uint64_t AnalysisSession::nextGenerationLocked()
{
    const std::uint64_t generation = ++m_refillGeneration;
    m_channel->shownGeneration.store(generation);
    return generation;
}

std::vector<AnalysisSession::ShownRow> AnalysisSession::cellSnapshotLocked() const
{
    std::vector<ShownRow> rows;
    rows.reserve(m_table.size());
    for (const HoldingRecord& record : m_table)
        rows.push_back({view::cellTexts(record), contributingFundsText(record)});
    return rows;
}

void AnalysisSession::postRows(std::uint64_t generation, std::vector<ShownRow> rows)
{
    // Each row is its own task, so the UI thread stays free between rows; a task of a superseded
    // refill finds a newer generation and does nothing.
    m_dispatcher.post([channel = m_channel, generation] {
        if (!channel->closed.load() && channel->shownGeneration.load() == generation)
            channel->display.clearRows();
    });
    for (ShownRow& row : rows) {
        m_dispatcher.post([channel = m_channel, generation, shown = std::move(row)] {
            if (!channel->closed.load() && channel->shownGeneration.load() == generation)
                channel->display.appendRowWithToolTip(shown.cells, shown.toolTip);
        });
    }
}

void AnalysisSession::postProgress(std::string text)
{
    m_dispatcher.post([channel = m_channel, caption = std::move(text)] {
        if (!channel->closed.load())
            channel->display.setProgressText(caption);
    });
}

void AnalysisSession::postProgressToolTip(std::string text)
{
    m_dispatcher.post([channel = m_channel, summary = std::move(text)] {
        if (!channel->closed.load())
            channel->display.setProgressToolTip(summary);
    });
}

bool AnalysisSession::startWorker(std::function<void()> work)
{
    const std::lock_guard lock(m_workersMutex);
    if (m_workersClosed)
        return false;
    joinFinishedWorkersLocked();
    auto done = std::make_shared<std::atomic<bool>>(false);
    try {
        std::thread thread([work = std::move(work), done] {
            work();
            done->store(true);
        });
        m_workers.push_back(Worker{std::move(thread), std::move(done)});
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void AnalysisSession::joinFinishedWorkersLocked()
{
    for (auto it = m_workers.begin(); it != m_workers.end();) {
        if (it->done->load()) {
            it->thread.join();
            it = m_workers.erase(it);
        } else {
            ++it;
        }
    }
}

std::string AnalysisSession::fetchForScraper(const std::string& url) const
{
    if (m_abort.load())
        return {};
    return fetchText(resolveLink(url, m_addresses.fundSiteBase), m_limits, &m_abort);
}

}  // namespace corvelle::collect

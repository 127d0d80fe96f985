// An analysis of fifteen funds against the sample site with a fixed latency per request: the total time
// divided by the time the server spent waiting (requests made times the latency). 1.00 would mean the
// program adds nothing of its own; the target is at most 1.05.
#include "collect/analysis_session.h"
#include "tools/sample-site/sample_site.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

namespace {

using namespace corvelle;

// Runs posted tasks at once on the posting thread: the benchmark has no window to wait for.
class InlineDispatcher final : public collect::UiDispatcher {
public:
    void post(std::function<void()> task) override { task(); }
};

class CountingDisplay final : public collect::ResultsDisplay {
public:
    void clearRows() override { m_rows = 0; }
    void appendRow(const collect::CellRow&) override { ++m_rows; }
    [[nodiscard]] int rowCount() const override { return m_rows; }
    void setProgressText(const std::string&) override {}

private:
    int m_rows = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    const int latencyMs = argc > 1 ? std::atoi(argv[1]) : 20;
    const int fundLimit = argc > 2 ? std::atoi(argv[2]) : 15;

    auto loaded = samplesite::loadSiteData(samplesite::sourceDataFolder());
    if (!loaded.data) {
        std::fprintf(stderr, "sample data: %s\n", loaded.error.c_str());
        return 1;
    }
    std::string codes;
    int funds = 0;
    for (const auto& fund : loaded.data->funds) {
        if (funds == fundLimit)
            break;
        if (fund.page == samplesite::PageKind::NoTable || fund.page == samplesite::PageKind::DateFirst)
            continue;
        codes += (codes.empty() ? "" : "\r\n") + fund.code;
        ++funds;
    }

    httplib::Server server;
    std::atomic<int> requests{0};
    // The logger sees every answered request; the sample site keeps the pre-routing hook for its latency.
    server.set_logger([&](const httplib::Request&, const httplib::Response&) { ++requests; });
    samplesite::registerSampleSite(server, std::make_shared<samplesite::SiteData>(*loaded.data),
                                   {std::chrono::milliseconds(latencyMs)});
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread thread([&] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::yield();

    InlineDispatcher dispatcher;
    CountingDisplay display;
    const std::string base = "http://127.0.0.1:" + std::to_string(port);
    double total = 0;
    {
        collect::AnalysisSession session(dispatcher, display, {base + "/", base});
        const auto start = std::chrono::steady_clock::now();
        session.startAnalysis(codes);
        session.waitForWorkers();
        total = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    server.stop();
    thread.join();

    const double waiting = static_cast<double>(requests.load()) * latencyMs;
    std::printf("funds %d, requests %d, rows %d, total %.1f ms, server waiting %.1f ms, ratio %.3f\n", funds,
                requests.load(), display.rowCount(), total, waiting, waiting > 0 ? total / waiting : 0.0);
    return 0;
}

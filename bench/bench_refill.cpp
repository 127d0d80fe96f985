// A refill of 1,000 rows on the real report list (offscreen): the time from the refill's start to its
// last row, and the longest stretch the UI thread was busy without coming back to its event loop.
#include "app/main_window.h"
#include "collect/analysis_session.h"
#include "view/qt_results_display.h"
#include "view/qt_ui_dispatcher.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QTreeWidget>

#include <httplib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

constexpr int kFunds = 100;
constexpr int kRowsPerFund = 10;

// A fund page in the shape the scraper reads, each fund holding ten stocks no other fund holds.
std::string fundPage(int fund)
{
    std::string page = "<html><body><table><tr><th>股票名称</th><th>持仓占比</th></tr>";
    for (int row = 0; row < kRowsPerFund; ++row) {
        const std::string code = std::to_string(600000 + fund * kRowsPerFund + row);
        page += "<tr><td><a href=\"/sh" + code + ".html\" title=\"股票" + code + "\">股票" + code +
                "</a></td><td>" + std::to_string(1 + row) + ".25%</td></tr>";
    }
    return page + "</table><p>持仓截止日期:2026-09-30</p></body></html>";
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);

    httplib::Server server;
    server.Get(R"(/(\d{6})\.html)", [](const httplib::Request& request, httplib::Response& response) {
        response.set_content(fundPage(std::stoi(request.matches[1].str()) - 100000), "text/html; charset=utf-8");
    });
    server.Get("/api/qt/stock/get", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(R"({"data":{"f43":12.34,"f57":"x"}})", "application/json");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread thread([&] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::yield();

    corvelle::app::MainWindow window;
    window.show();
    corvelle::view::QtUiDispatcher dispatcher(&window);
    corvelle::view::QtResultsDisplay display(window.resultsList(), window.progressLabel());
    const std::string base = "http://127.0.0.1:" + std::to_string(port);
    corvelle::collect::AnalysisSession session(dispatcher, display, {base + "/", base});

    std::string codes;
    for (int fund = 0; fund < kFunds; ++fund)
        codes += (fund ? "\r\n" : "") + std::to_string(100000 + fund);

    // Fill the table with an analysis, and let its own refill finish.
    session.startAnalysis(codes);
    QElapsedTimer wait;
    wait.start();
    while ((session.isRunning() || window.resultsList()->topLevelItemCount() < kFunds * kRowsPerFund) &&
           wait.elapsed() < 120000)
        app.processEvents(QEventLoop::AllEvents, 50);
    session.waitForWorkers();
    app.processEvents();

    // A timer that wants to run every millisecond sees every stretch the event loop was kept busy.
    qint64 longestBlockNs = 0;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestBlockNs = std::max(longestBlockNs, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });

    double bestFillMs = 1e9;
    qint64 worstBlockNs = 0;
    for (int round = 0; round < 5; ++round) {
        longestBlockNs = 0;
        sinceTick.start();
        ticker.start();
        QElapsedTimer fill;
        fill.start();
        session.refillResultsList();
        // Rows arrive after a "clear"; wait for the list to be emptied and filled again.
        bool emptied = false;
        auto* model = window.resultsList()->model();
        auto onReset = QObject::connect(model, &QAbstractItemModel::modelReset, [&] { emptied = true; });
        auto onRemoved = QObject::connect(model, &QAbstractItemModel::rowsRemoved, [&] { emptied = true; });
        while (fill.elapsed() < 60000) {
            app.processEvents(QEventLoop::AllEvents, 5);
            if (emptied && window.resultsList()->topLevelItemCount() == kFunds * kRowsPerFund)
                break;
        }
        QObject::disconnect(onReset);
        QObject::disconnect(onRemoved);
        bestFillMs = std::min(bestFillMs, fill.nsecsElapsed() / 1e6);
        ticker.stop();
        worstBlockNs = std::max(worstBlockNs, longestBlockNs);
        session.waitForWorkers();
    }
    std::printf("rows %d, refill %.1f ms (best of 5), longest UI block %.1f ms (worst of 5)\n",
                window.resultsList()->topLevelItemCount(), bestFillMs, worstBlockNs / 1e6);

    session.shutdown();
    server.stop();
    thread.join();
    return 0;
}

// Test doubles and fixture data for the analysis session: a UI thread made of a plain thread draining
// a queue, a display that records what reaches it, and a small fund site served over real HTTP.
#pragma once

#include "collect/charset.h"
#include "collect/fund_scraper.h"
#include "collect/ui_ports.h"
#include "tests/support/decimal_comma_locale.h"
#include "tests/support/test_server.h"

#include <algorithm>
#include <chrono>
#include <clocale>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <unistd.h>

namespace corvelle::testing {

// Runs posted tasks one after another on its own thread, as a toolkit's UI thread would. With jitter,
// a poster is held back a random few microseconds now and then before its task is queued, as if the
// system had switched threads just there, so that concurrent posters interleave.
class PlainThreadDispatcher final : public collect::UiDispatcher {
public:
    explicit PlainThreadDispatcher(bool jitter = false) : m_jitter(jitter), m_thread([this] { loop(); }) {}
    ~PlainThreadDispatcher() override
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    PlainThreadDispatcher(const PlainThreadDispatcher&) = delete;
    PlainThreadDispatcher& operator=(const PlainThreadDispatcher&) = delete;

    void post(std::function<void()> task) override
    {
        if (m_jitter) {
            thread_local std::minstd_rand random(std::random_device{}());
            if (random() % 4 == 0)
                std::this_thread::sleep_for(std::chrono::microseconds(random() % 200));
        }
        {
            const std::lock_guard lock(m_mutex);
            m_queue.push_back(std::move(task));
        }
        m_wake.notify_all();
    }

    // Returns when every task posted so far has run; what they wrote is then visible to the caller.
    void drain()
    {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return m_queue.empty() && !m_busy; });
    }

    // Runs f on the UI thread and waits for it.
    void runOnUi(const std::function<void()>& f)
    {
        post(f);
        drain();
    }

    [[nodiscard]] bool onUiThread() const { return std::this_thread::get_id() == m_thread.get_id(); }

private:
    void loop()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
            if (m_stop)
                return;
            std::function<void()> task = std::move(m_queue.front());
            m_queue.pop_front();
            m_busy = true;
            lock.unlock();
            task();
            lock.lock();
            m_busy = false;
            if (m_queue.empty())
                m_idle.notify_all();
        }
    }

    const bool m_jitter;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::function<void()>> m_queue;  // guarded by m_mutex
    bool m_busy = false;                        // guarded by m_mutex
    bool m_stop = false;                        // guarded by m_mutex
    std::thread m_thread;                       // last: starts once the members above exist
};

// Records every call, and the faults a display must never see: a call off the UI thread, a row
// appended twice since the last clear (two refills mixed), more rows than any table had.
class RecordingDisplay final : public collect::ResultsDisplay {
public:
    explicit RecordingDisplay(const PlainThreadDispatcher& ui) : m_ui(ui) {}

    void clearRows() override
    {
        noteThread();
        rows.clear();
        ++clearCount;
        events.emplace_back("clear");
    }
    void appendRow(const collect::CellRow& cells) override
    {
        noteThread();
        for (const collect::CellRow& row : rows) {
            if (row == cells)
                duplicateRowSeen = true;
        }
        rows.push_back(cells);
        maxRowCount = std::max(maxRowCount, rows.size());
        events.emplace_back("row " + cells[1]);
    }
    [[nodiscard]] int rowCount() const override { return static_cast<int>(rows.size()); }
    void setProgressText(const std::string& gbkText) override
    {
        noteThread();
        progress.push_back(gbkText);
        events.emplace_back("progress " + gbkText);
    }

    std::vector<collect::CellRow> rows;
    std::vector<std::string> progress;
    std::vector<std::string> events;
    int clearCount = 0;
    std::size_t maxRowCount = 0;
    bool calledOffUiThread = false;
    bool duplicateRowSeen = false;

private:
    void noteThread()
    {
        if (!m_ui.onUiThread())
            calledOffUiThread = true;
    }

    const PlainThreadDispatcher& m_ui;
};

// One holding row of a fixture fund page.
struct FixtureHolding {
    std::string link;      // as the page gives it, with the placeholders of fundPage
    std::string nameUtf8;  // the title attribute
    std::string percent;   // the cell text in front of "%"
};

// A fund page in the shape the scraper reads: the holdings between "持仓占比" and "持仓截止日期:".
// In links, "{base}" stands for the server's address and "{port}" for its port.
inline std::string fundPage(const std::vector<FixtureHolding>& holdings, const std::string& base, int port)
{
    std::string page =
        "<html><head><meta charset=\"utf-8\"><title>基金</title></head><body>"
        "<table><thead><tr><th>序号</th><th>股票名称</th><th>持仓占比</th></tr></thead><tbody>";
    int number = 1;
    for (const FixtureHolding& holding : holdings) {
        std::string link = holding.link;
        if (const auto at = link.find("{base}"); at != std::string::npos)
            link.replace(at, 6, base);
        if (const auto at = link.find("{port}"); at != std::string::npos)
            link.replace(at, 6, std::to_string(port));
        page += "<tr><td>" + std::to_string(number++) + "</td><td><a href=\"" + link + "\" title=\"" +
                holding.nameUtf8 + "\">" + holding.nameUtf8 + "</a></td><td class=\"tor\">" +
                holding.percent + "%</td></tr>";
    }
    page += "</tbody></table><div class=\"date\">持仓截止日期:2024-03-31</div></body></html>";
    return page;
}

// A quote reply with the price member f43 in front of f57.
inline std::string quoteReply(const std::string& price)
{
    return "{\"rc\":0,\"data\":{\"f43\":" + price + ",\"f57\":\"000000\",\"f58\":\"x\"}}";
}

// The fixture fund site: fund pages, stock pages and the quote service on one real HTTP server.
// Funds 481010, 002264 and abcdef (six letters) overlap; 110011 holds ten stocks no other fund holds;
// 000404 has no page; 519999 has no stock table.
// A fixed delay before every answer makes a slow server.
class FixtureFundSite {
public:
    explicit FixtureFundSite(std::chrono::milliseconds delay = std::chrono::milliseconds(0)) : m_delay(delay)
    {
        m_pages["481010"] = {{"{base}/sh600519.html", "贵州茅台", "5.5"},
                             {"{base}/sz300750.html", "宁德时代", "4.25"},
                             {"{base}/hk/00700.html", "腾讯控股", "3.0"}};
        m_pages["002264"] = {{"{base}/sh600519.html", "贵州茅台", "4.0"},
                             {"{base}/sh600036.html", "招商银行", "2.5"}};
        m_pages["abcdef"] = {{"{base}/sz300750.html", "宁德时代", "1.0"},
                             {"{base}/sh600519.html", "贵州茅台", "3.25"},
                             {"//127.0.0.1:{port}/usAAPL.html", "苹果", "0.5"}};
        // Ten holdings of its own, for longer lists.
        for (int i = 0; i < 10; ++i) {
            m_pages["110011"].push_back({"{base}/sh6011" + std::to_string(10 + i) + ".html",
                                         "股票" + std::to_string(i), std::to_string(10 - i) + ".5"});
        }
        m_prices = {{"1.600519", "1800.5"},
                    {"0.300750", "187.25"},
                    {"116.00700", "320.4"},
                    {"1.600036", "35.12"},
                    {"105.usAAPL", "187.3"}};
        m_server.get(R"(/([0-9a-z]{6})\.html)",
                     [this](const httplib::Request& request, httplib::Response& response) {
                         pause();
                         const auto page = m_pages.find(request.matches[1].str());
                         if (page != m_pages.end()) {
                             response.set_content(fundPage(page->second, m_server.baseUrl(), m_server.port()),
                                                  "text/html; charset=utf-8");
                         } else if (request.matches[1].str() == "519999") {
                             response.set_content("<html><body>债券基金，暂无股票持仓</body></html>",
                                                  "text/html; charset=utf-8");
                         } else {
                             response.status = 404;
                             response.set_content("<html><body>404</body></html>", "text/html");
                         }
                     });
        m_server.get("/usAAPL.html", [this](const httplib::Request&, httplib::Response& response) {
            pause();
            response.set_content("<script>var market = \"105\";</script>", "text/html; charset=utf-8");
        });
        m_server.get("/api/qt/stock/get",
                     [this](const httplib::Request& request, httplib::Response& response) {
                         pause();
                         const auto price = m_prices.find(request.get_param_value("secid"));
                         response.set_content(quoteReply(price == m_prices.end() ? "\"-\"" : price->second),
                                              "application/json");
                     });
        m_server.start();
    }

    [[nodiscard]] collect::ServiceAddresses addresses() const
    {
        return {m_server.baseUrl() + "/", m_server.baseUrl()};
    }
    TestServer& server() { return m_server; }

private:
    void pause() const
    {
        if (m_delay.count() > 0)
            std::this_thread::sleep_for(m_delay);
    }

    std::map<std::string, std::vector<FixtureHolding>> m_pages;
    std::map<std::string, std::string> m_prices;
    std::chrono::milliseconds m_delay;
    TestServer m_server;  // last: stopped first, while the data its handlers read still exists
};

// UTF-8 literal to the program's GBK text.
inline std::string gbk(const std::string& utf8)
{
    return collect::utf8ToGbk(utf8);
}

}  // namespace corvelle::testing

// Binds the main window's labels and results list to the analysis session.
#pragma once

#include "collect/analysis_session.h"
#include "collect/fund_scraper.h"
#include "collect/http_client.h"
#include "view/qt_results_display.h"
#include "view/qt_ui_dispatcher.h"

#include <QObject>

namespace corvelle::app {
class MainWindow;
}

namespace corvelle::view {

// Release over 标签_分析 starts an analysis of the code box's text; a press on 标签_重复次数,
// 标签_股票价格 or 标签_持仓比例 sorts by count, price or ratio and refills the list; a double-click on
// the list opens the selected record's link; a right-click on it opens its context menu (持有基金…,
// 基金重合度…, 打开网页, 复制); closing the window stops a run and joins every worker.
// 标签_股票代码 and 标签_股票名称 sort nothing. The connections end when context goes away (or the
// window); session must live until then.
void connectResultsView(app::MainWindow& window, collect::AnalysisSession& session, QObject& context);

// The results side of the main window made and wired in one piece: the dispatcher to the UI thread,
// the list and progress label as the session's display, and the session itself. Make it on the UI
// thread after the window; it may outlive the window or die before it.
class ResultsView {
public:
    ResultsView(app::MainWindow& window, collect::ServiceAddresses addresses,
                collect::FetchLimits limits = {});
    ResultsView(const ResultsView&) = delete;
    ResultsView& operator=(const ResultsView&) = delete;

    [[nodiscard]] collect::AnalysisSession& session() { return m_session; }

private:
    QtUiDispatcher m_dispatcher;
    QtResultsDisplay m_display;
    collect::AnalysisSession m_session;  // stopped and joined before the two above go
    QObject m_connections;               // last: the window's events stop reaching the session first
};

}  // namespace corvelle::view

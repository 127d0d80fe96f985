// Helpers for the view's widget tests: waiting on the event loop, and a display that records what
// reaches the real list and label.
#pragma once

#include "app/windowing.h"
#include "collect/ui_ports.h"
#include "view/qt_results_display.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTreeWidget>

#include <functional>
#include <string>
#include <vector>

namespace corvelle::testing {

// Runs the event loop until condition holds or timeoutMs passed; the condition's last answer.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

// Runs every task posted so far.
inline void processPosted()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// Forwards to the real list and label and keeps every progress caption, in order.
class RecordingQtDisplay final : public collect::ResultsDisplay {
public:
    RecordingQtDisplay(QTreeWidget* list, QLabel* label) : m_inner(list, label) {}

    void clearRows() override { m_inner.clearRows(); }
    void appendRow(const collect::CellRow& cells) override { m_inner.appendRow(cells); }
    [[nodiscard]] int rowCount() const override { return m_inner.rowCount(); }
    void setProgressText(const std::string& gbkText) override
    {
        progress.push_back(gbkText);
        m_inner.setProgressText(gbkText);
    }

    std::vector<std::string> progress;

private:
    view::QtResultsDisplay m_inner;
};

// The five cells of every row of the list, as the list shows them.
inline std::vector<collect::CellRow> listRows(const QTreeWidget* list)
{
    std::vector<collect::CellRow> rows;
    for (int row = 0; row < app::rowCount(list); ++row) {
        collect::CellRow cells;
        for (int column = 0; column < 5; ++column)
            cells[static_cast<std::size_t>(column)] = app::cellText(list, row, column);
        rows.push_back(cells);
    }
    return rows;
}

}  // namespace corvelle::testing

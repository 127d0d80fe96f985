// The two small interfaces through which the core drives the window, so the core needs no toolkit:
// the Qt layer implements them for the real window, tests implement them with plain threads.
#pragma once

#include <array>
#include <functional>
#include <string>

namespace corvelle::collect {

// The five cell texts of one row of the results list: code, name, price, ratio, count.
using CellRow = std::array<std::string, 5>;

// Runs tasks on the UI thread, one after another, in the order they were posted. post never waits for
// the task to run, so a thread may call it while the UI thread is waiting for that thread.
class UiDispatcher {
public:
    virtual ~UiDispatcher() = default;
    virtual void post(std::function<void()> task) = 0;
};

// The results list and the progress label. Called on the UI thread only.
class ResultsDisplay {
public:
    virtual ~ResultsDisplay() = default;
    virtual void clearRows() = 0;
    virtual void appendRow(const CellRow& cells) = 0;
    [[nodiscard]] virtual int rowCount() const = 0;
    virtual void setProgressText(const std::string& gbkText) = 0;
    // A row with the text its pointer tooltip shows (the funds behind it, one per line; empty for none).
    // A display that shows no tooltips just appends the cells.
    virtual void appendRowWithToolTip(const CellRow& cells, const std::string& /*gbkToolTip*/)
    {
        appendRow(cells);
    }
    // The progress label's tooltip: what the last run read from each fund; empty removes it.
    virtual void setProgressToolTip(const std::string& /*gbkText*/) {}
};

}  // namespace corvelle::collect

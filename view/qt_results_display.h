// The results list and the progress label of the main window as the core's ResultsDisplay.
#pragma once

#include "collect/ui_ports.h"

#include <QPointer>

#include <string>

class QLabel;
class QTreeWidget;

namespace corvelle::view {

// Writes rows into the report list and captions into the progress label, with their tooltips. UI thread
// only; a widget that has gone away is no longer written to.
class QtResultsDisplay final : public collect::ResultsDisplay {
public:
    QtResultsDisplay(QTreeWidget* list, QLabel* progressLabel);

    void clearRows() override;
    void appendRow(const collect::CellRow& cells) override;
    [[nodiscard]] int rowCount() const override;
    void setProgressText(const std::string& gbkText) override;
    // The tooltip goes on every cell of the row, so it shows wherever the pointer rests on it.
    void appendRowWithToolTip(const collect::CellRow& cells, const std::string& gbkToolTip) override;
    void setProgressToolTip(const std::string& gbkText) override;

private:
    QPointer<QTreeWidget> m_list;
    QPointer<QLabel> m_progressLabel;
};

}  // namespace corvelle::view

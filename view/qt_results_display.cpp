// The report list and progress label written through the windowing helpers.
#include "view/qt_results_display.h"

#include "app/windowing.h"

#include <QLabel>
#include <QTreeWidget>

#include <cstddef>

namespace corvelle::view {

QtResultsDisplay::QtResultsDisplay(QTreeWidget* list, QLabel* progressLabel)
    : m_list(list), m_progressLabel(progressLabel)
{
}

void QtResultsDisplay::clearRows()
{
    if (m_list)
        app::deleteAllRows(m_list);
}

void QtResultsDisplay::appendRow(const collect::CellRow& cells)
{
    if (!m_list)
        return;
    const int row = app::rowCount(m_list);
    app::appendEmptyRow(m_list);
    for (std::size_t column = 0; column < cells.size(); ++column)
        app::setCellText(m_list, row, static_cast<int>(column), cells[column]);
}

int QtResultsDisplay::rowCount() const
{
    return m_list ? app::rowCount(m_list) : 0;
}

void QtResultsDisplay::setProgressText(const std::string& gbkText)
{
    if (m_progressLabel)
        app::setControlText(m_progressLabel, gbkText);
}

}  // namespace corvelle::view

// The report list and progress label written through the windowing helpers.
#include "view/qt_results_display.h"

#include "app/windowing.h"

#include <QLabel>
#include <QTextDocument>
#include <QTreeWidget>

#include <cstddef>

namespace corvelle::view {

namespace {

// A tooltip that shows its text as it is: Qt reads a tooltip starting like a tag as markup, and a code
// typed into the box may well start that way.
QString plainToolTip(const std::string& gbk)
{
    QString text = app::toQString(gbk);
    if (Qt::mightBeRichText(text))
        text = Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap);
    return text;
}

}  // namespace

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

void QtResultsDisplay::appendRowWithToolTip(const collect::CellRow& cells, const std::string& gbkToolTip)
{
    appendRow(cells);
    if (!m_list || gbkToolTip.empty())
        return;
    QTreeWidgetItem* item = m_list->topLevelItem(m_list->topLevelItemCount() - 1);
    if (item == nullptr)
        return;
    const QString toolTip = plainToolTip(gbkToolTip);
    for (int column = 0; column < m_list->columnCount(); ++column)
        item->setToolTip(column, toolTip);
}

void QtResultsDisplay::setProgressToolTip(const std::string& gbkText)
{
    if (m_progressLabel)
        m_progressLabel->setToolTip(plainToolTip(gbkText));
}

void QtResultsDisplay::setProgressText(const std::string& gbkText)
{
    if (m_progressLabel)
        app::setControlText(m_progressLabel, gbkText);
}

}  // namespace corvelle::view

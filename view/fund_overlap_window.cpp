// The 基金重合度 window's layout; texts and shades come ready-made from fund_details.
#include "view/fund_overlap_window.h"

#include "app/main_window.h"
#include "app/windowing.h"
#include "view/fund_details.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstddef>
#include <string>

namespace corvelle::view {

namespace {

constexpr int kTextPixels = 15;
constexpr int kMinColumnWidth = 72;
constexpr int kMinTextWidth = 360;
constexpr int kFallbackScreenWidth = 1024;
constexpr int kFallbackScreenHeight = 768;

QLabel* textLabel(const char* objectName, const std::string& gbk, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromUtf8(objectName));
    label->setTextFormat(Qt::PlainText);  // fund names come from web pages
    label->setWordWrap(true);
    label->setText(app::toQString(gbk));
    label->setVisible(!gbk.empty());
    return label;
}

// The table's whole size without scroll bars, so the window can show all of it when the screen allows.
QSize fullTableSize(const QTableWidget* table)
{
    int width = 2 * table->frameWidth() + table->verticalHeader()->sizeHint().width();
    for (int column = 0; column < table->columnCount(); ++column)
        width += table->columnWidth(column);
    int height = 2 * table->frameWidth() + table->horizontalHeader()->sizeHint().height();
    for (int row = 0; row < table->rowCount(); ++row)
        height += table->rowHeight(row);
    return {width, height};
}

}  // namespace

FundOverlapWindow::FundOverlapWindow(const collect::FundOverlap& overlap, QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QString::fromUtf8("窗口_基金重合度"));
    setWindowTitle(QString::fromUtf8("基金重合度"));
    setFont(app::layoutFont(kTextPixels));

    auto* explanation = new QLabel(this);
    explanation->setWordWrap(true);
    explanation->setText(QString::fromUtf8("两只基金前十大持仓的重合度（%）：两者都持有的股票，"
                                           "各取较小的持仓比例相加。对角线为该基金前十大持仓合计。"));

    const int n = static_cast<int>(overlap.size());
    auto* table = new QTableWidget(n, n, this);
    table->setObjectName(QString::fromUtf8("表格_基金重合度"));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setWordWrap(false);
    const double largest = largestOverlap(overlap);
    for (int row = 0; row < n; ++row) {
        const collect::OverlapFund& fund = overlap.funds[static_cast<std::size_t>(row)];
        auto* rowHeader = new QTableWidgetItem(app::toQString(overlapRowHeader(fund)));
        rowHeader->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        table->setVerticalHeaderItem(row, rowHeader);
        table->setHorizontalHeaderItem(row, new QTableWidgetItem(app::toQString(fund.code)));
        for (int column = 0; column < n; ++column) {
            const double value = overlap.at(static_cast<std::size_t>(row), static_cast<std::size_t>(column));
            const double shade = overlapShade(value, largest);
            auto* cell = new QTableWidgetItem(app::toQString(overlapText(value)));
            cell->setFlags(Qt::ItemIsEnabled);
            cell->setTextAlignment(Qt::AlignCenter);
            cell->setBackground(app::colourFromBgr(overlapCellColour(shade)));
            cell->setForeground(app::colourFromBgr(overlapTextColour(shade)));
            if (row == column) {
                QFont bold = font();
                bold.setBold(true);
                cell->setFont(bold);
            }
            table->setItem(row, column, cell);
        }
    }
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->resizeColumnsToContents();
    table->resizeRowsToContents();
    for (int column = 0; column < n; ++column)
        table->setColumnWidth(column, std::max(table->columnWidth(column), kMinColumnWidth));

    auto* legend = textLabel("标签_截止日期说明", overlapMarkLegend(overlap), this);
    auto* warning = textLabel("标签_截止日期提示", overlapDateWarning(overlap), this);
    QFont warningFont = font();
    warningFont.setBold(true);
    warning->setFont(warningFont);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addWidget(table, 1);
    layout->addWidget(legend);
    layout->addWidget(warning);

    // All of the matrix when it fits on the screen, else as much as fits, with scroll bars for the rest.
    const QSize full = fullTableSize(table);
    QSize available(kFallbackScreenWidth, kFallbackScreenHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        available = screen->availableSize();
    available = available * 8 / 10;
    QSize shown = full;
    if (full.width() <= available.width() && full.height() <= available.height()) {
        table->setFixedSize(full);
    } else {
        shown = (full + QSize(table->verticalScrollBar()->sizeHint().width(),
                              table->horizontalScrollBar()->sizeHint().height()))
                    .boundedTo(available);
        table->setMinimumSize(shown);
    }
    explanation->setMaximumWidth(std::max(shown.width(), kMinTextWidth));
}

}  // namespace corvelle::view

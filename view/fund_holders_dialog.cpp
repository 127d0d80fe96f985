// The 持有基金 dialog's layout; its rows come ready-made from fundHolders.
#include "view/fund_holders_dialog.h"

#include "app/main_window.h"
#include "app/windowing.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstddef>
#include <string>

namespace corvelle::view {

namespace {

constexpr int kTextPixels = 16;
constexpr int kCaptionPixels = 18;
constexpr int kMaxVisibleRows = 12;

QTableWidgetItem* readOnlyItem(const std::string& gbk, Qt::Alignment alignment = Qt::AlignLeft)
{
    auto* item = new QTableWidgetItem(app::toQString(gbk));  // owned by the table it is set into
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

}  // namespace

FundHoldersDialog::FundHoldersDialog(const collect::CellRow& stockCells,
                                     const std::vector<FundHolder>& holders, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QString::fromUtf8("对话框_持有基金"));
    setWindowTitle(QString::fromUtf8("持有基金"));
    setModal(true);
    setFont(app::layoutFont(kTextPixels));

    auto* caption = new QLabel(this);
    caption->setObjectName(QString::fromUtf8("标签_持有基金_股票"));
    caption->setTextFormat(Qt::PlainText);
    caption->setText(app::toQString(stockCells[0] + ' ' + stockCells[1]) + QString::fromUtf8(" 的持有基金"));
    caption->setFont(app::layoutFont(kCaptionPixels, true));

    auto* table = new QTableWidget(static_cast<int>(holders.size()), 4, this);
    table->setObjectName(QString::fromUtf8("表格_持有基金"));
    table->setHorizontalHeaderLabels(QStringList{QString::fromUtf8("基金代码"), QString::fromUtf8("基金名称"),
                                                 QString::fromUtf8("持仓比例"),
                                                 QString::fromUtf8("截止日期")});
    table->verticalHeader()->setVisible(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setWordWrap(false);
    for (int row = 0; row < static_cast<int>(holders.size()); ++row) {
        const FundHolder& holder = holders[static_cast<std::size_t>(row)];
        table->setItem(row, 0, readOnlyItem(holder.code));
        table->setItem(row, 1, readOnlyItem(holder.name));
        table->setItem(row, 2, readOnlyItem(holder.ratio, Qt::AlignRight));
        table->setItem(row, 3, readOnlyItem(holder.asOfDate));
    }
    table->resizeColumnsToContents();
    table->resizeRowsToContents();
    table->horizontalHeader()->setStretchLastSection(true);

    // Wide enough for every column, tall enough for a dozen funds before it scrolls.
    int width = 2 * table->frameWidth() + table->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < table->columnCount(); ++column)
        width += table->columnWidth(column);
    int height = 2 * table->frameWidth() + table->horizontalHeader()->sizeHint().height();
    const int rowHeight =
        table->rowCount() > 0 ? table->rowHeight(0) : table->verticalHeader()->defaultSectionSize();
    height += rowHeight * std::min(std::max(table->rowCount(), 1), kMaxVisibleRows);
    table->setMinimumWidth(width);
    table->setFixedHeight(height);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(table);
    layout->addWidget(buttons);
}

}  // namespace corvelle::view

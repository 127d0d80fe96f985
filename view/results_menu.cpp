// The results list's context menu and its entries' work.
#include "view/results_menu.h"

#include "app/main_window.h"
#include "app/windowing.h"
#include "collect/fund_overlap.h"
#include "view/fund_details.h"
#include "view/fund_holders_dialog.h"
#include "view/fund_overlap_window.h"
#include "view/link_opener.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QTreeWidget>

#include <algorithm>
#include <cstddef>
#include <functional>

namespace corvelle::view {

namespace {

constexpr int kMenuPixels = 16;

// The five cells of a list row as the list shows them.
collect::CellRow shownCells(const QTreeWidget* list, int row)
{
    collect::CellRow cells;
    for (std::size_t column = 0; column < cells.size(); ++column)
        cells[column] = app::cellText(list, row, static_cast<int>(column));
    return cells;
}

bool selectedLinkOpens(const QTreeWidget* list, const collect::AnalysisSession& session)
{
    const int row = app::currentSelection(list);
    if (row < 0)
        return false;
    const std::optional<std::string> link = session.linkAtRow(row);
    return link && openableAddress(*link, session.addresses().fundSiteBase).has_value();
}

bool anyFundYieldedHoldings(const std::vector<collect::FundInfo>& funds)
{
    return std::any_of(funds.begin(), funds.end(), [](const collect::FundInfo& fund) {
        return fund.outcome == collect::FundOutcome::HoldingsRead;
    });
}

void addEntry(QMenu* menu, const char* objectName, const char* text, bool enabled, QObject& context,
              std::function<void()> work)
{
    QAction* action = menu->addAction(QString::fromUtf8(text));
    action->setObjectName(QString::fromUtf8(objectName));
    action->setEnabled(enabled);
    QObject::connect(action, &QAction::triggered, &context, [work = std::move(work)] { work(); });
}

}  // namespace

std::optional<collect::AnalysisSession::RowDetails>
selectedRowDetails(const QTreeWidget* list, const collect::AnalysisSession& session)
{
    const int row = app::currentSelection(list);
    if (row < 0)
        return std::nullopt;
    auto details = session.detailsAtRow(row);
    if (!details || !rowInStep(details->record, shownCells(list, row)))
        return std::nullopt;
    return details;
}

QMenu* makeResultsMenu(app::MainWindow& window, const collect::AnalysisSession& session, QObject& context)
{
    const QTreeWidget* list = window.resultsList();
    const auto details = selectedRowDetails(list, session);
    const bool hasHolders = details && !details->record.sources.empty();
    const bool hasOverlap = anyFundYieldedHoldings(session.lastRunFunds());
    const bool hasRow = app::currentSelection(list) >= 0;

    auto* menu = new QMenu(&window);  // owned by the window until it deletes itself on closing
    menu->setObjectName(QString::fromUtf8("菜单_结果列表"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setFont(app::layoutFont(kMenuPixels));
    addEntry(menu, "菜单项_持有基金", "持有基金…", hasHolders, context,
             [&window, &session] { showSelectedFundHolders(window, session); });
    addEntry(menu, "菜单项_基金重合度", "基金重合度…", hasOverlap, context,
             [&window, &session] { showFundOverlap(window, session); });
    menu->addSeparator();
    addEntry(menu, "菜单项_打开网页", "打开网页", selectedLinkOpens(list, session), context,
             [&window, &session] { openSelectedLink(window.resultsList(), session); });
    addEntry(menu, "菜单项_复制", "复制", hasRow, context,
             [&window] { copySelectedRow(window.resultsList()); });
    return menu;
}

void showSelectedFundHolders(app::MainWindow& window, const collect::AnalysisSession& session)
{
    const QTreeWidget* list = window.resultsList();
    const auto details = selectedRowDetails(list, session);
    if (!details || details->record.sources.empty())
        return;
    auto* dialog = new FundHoldersDialog(shownCells(list, app::currentSelection(list)),
                                         fundHolders(details->record, details->funds), &window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void showFundOverlap(app::MainWindow& window, const collect::AnalysisSession& session)
{
    const collect::FundOverlap overlap = collect::fundOverlap(session.lastRunFunds());
    if (overlap.size() == 0)
        return;
    // One such window at a time, showing the latest run.
    for (FundOverlapWindow* open : window.findChildren<FundOverlapWindow*>(Qt::FindDirectChildrenOnly))
        open->close();
    auto* overlapWindow = new FundOverlapWindow(overlap, &window);
    overlapWindow->setAttribute(Qt::WA_DeleteOnClose);
    overlapWindow->show();
    overlapWindow->raise();
    overlapWindow->activateWindow();
}

void copySelectedRow(const QTreeWidget* list)
{
    const int row = app::currentSelection(list);
    if (row < 0)
        return;
    QGuiApplication::clipboard()->setText(app::toQString(copyText(shownCells(list, row))));
}

}  // namespace corvelle::view

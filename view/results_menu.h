// The results list's context menu: 持有基金…, 基金重合度…, 打开网页 and 复制, and what each entry does.
#pragma once

#include "collect/analysis_session.h"

#include <optional>

class QMenu;
class QObject;
class QTreeWidget;

namespace corvelle::app {
class MainWindow;
}

namespace corvelle::view {

// The menu for the list as it is now, a child of the window that deletes itself once closed; entries
// with nothing to show are disabled (no selected row, a row the table no longer has in that place, no
// run yet). Its entries act through context, so they stop when context goes away; session must live
// until then. objectNames: the menu "菜单_结果列表", the entries "菜单项_持有基金", "菜单项_基金重合度",
// "菜单项_打开网页", "菜单项_复制".
[[nodiscard]] QMenu* makeResultsMenu(app::MainWindow& window, const collect::AnalysisSession& session,
                                     QObject& context);

// The selected row's record and the facts of the run's funds, when the list shows that row in step with
// the table; nothing when no row is selected or the table has changed under it.
[[nodiscard]] std::optional<collect::AnalysisSession::RowDetails>
selectedRowDetails(const QTreeWidget* list, const collect::AnalysisSession& session);

// The entries' work, each on the state at the moment of the call and doing nothing when it has nothing
// to show. The 持有基金 dialog is modal and the 基金重合度 window is not; both belong to the window and
// go when closed (a new overlap window replaces an open one).
void showSelectedFundHolders(app::MainWindow& window, const collect::AnalysisSession& session);
void showFundOverlap(app::MainWindow& window, const collect::AnalysisSession& session);
// The selected row's five cell texts, TAB between them, as the clipboard's text.
void copySelectedRow(const QTreeWidget* list);

}  // namespace corvelle::view

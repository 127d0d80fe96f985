// The results list's double-click: opens the selected stock's page in the browser.
#pragma once

#include <optional>
#include <string>

class QTreeWidget;

namespace corvelle::collect {
class AnalysisSession;
}

namespace corvelle::view {

// The address a stock link opens: root- and protocol-relative links resolved against the fund site's
// address; nothing for anything that is not then an http(s) address (file:, javascript:, bare paths,
// command lines), since a link from a web page must never start a program or open a local file.
[[nodiscard]] std::optional<std::string> openableAddress(const std::string& link,
                                                         const std::string& fundSiteBase);

// UI thread. Opens the link of the record at the list's selected row, taken at the moment of the call;
// does nothing when no row is selected or the row has no record in the table.
void openSelectedLink(const QTreeWidget* list, const collect::AnalysisSession& session);

}  // namespace corvelle::view

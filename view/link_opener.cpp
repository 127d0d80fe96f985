// Opening a record's link: only web addresses reach the system's handler.
#include "view/link_opener.h"

#include "app/windowing.h"
#include "collect/analysis_session.h"
#include "collect/web_address.h"

namespace corvelle::view {

std::optional<std::string> openableAddress(const std::string& link, const std::string& fundSiteBase)
{
    std::string address = collect::resolveLink(link, fundSiteBase);
    if (!collect::isWebAddress(address))
        return std::nullopt;
    return address;
}

void openSelectedLink(const QTreeWidget* list, const collect::AnalysisSession& session)
{
    const int row = app::currentSelection(list);
    if (row < 0)
        return;
    const std::optional<std::string> link = session.linkAtRow(row);
    if (!link)
        return;
    if (const auto address = openableAddress(*link, session.addresses().fundSiteBase))
        app::openWebAddress(*address);
}

}  // namespace corvelle::view

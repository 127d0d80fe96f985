// The main window's label and list events, connected to the session's operations.
#include "view/results_view_wiring.h"

#include "app/main_window.h"
#include "app/windowing.h"
#include "view/link_opener.h"
#include "view/results_menu.h"

#include <QMenu>
#include <QPoint>
#include <QTreeWidget>

#include <utility>

namespace corvelle::view {

void connectResultsView(app::MainWindow& window, collect::AnalysisSession& session, QObject& context)
{
    using collect::SortKey;
    QObject::connect(window.analyseLabel(), &app::ClickLabel::released, &context, [&window, &session] {
        (void)session.startAnalysis(app::editBoxText(window.codeBox()));
    });
    const auto sortOnPress = [&context, &session](app::ClickLabel* label, SortKey key) {
        QObject::connect(label, &app::ClickLabel::pressed, &context,
                         [&session, key] { (void)session.sortAndShow(key); });
    };
    sortOnPress(window.repeatCountLabel(), SortKey::RepeatCount);
    sortOnPress(window.priceLabel(), SortKey::Price);
    sortOnPress(window.ratioLabel(), SortKey::Ratio);
    QObject::connect(&window, &app::MainWindow::resultsListDoubleClicked, &context,
                     [&window, &session] { openSelectedLink(window.resultsList(), session); });
    QTreeWidget* list = window.resultsList();
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QWidget::customContextMenuRequested, &context,
                     [&window, &session, &context, list](const QPoint& at) {
                         // A list reports the position in its viewport, where the rows are.
                         makeResultsMenu(window, session, context)->popup(list->viewport()->mapToGlobal(at));
                     });
    QObject::connect(&window, &app::MainWindow::aboutToClose, &context, [&session] { session.shutdown(); });
}

ResultsView::ResultsView(app::MainWindow& window, collect::ServiceAddresses addresses,
                         collect::FetchLimits limits)
    : m_dispatcher(&window), m_display(window.resultsList(), window.progressLabel()),
      m_session(m_dispatcher, m_display, std::move(addresses), limits)
{
    connectResultsView(window, m_session, m_connections);
}

}  // namespace corvelle::view

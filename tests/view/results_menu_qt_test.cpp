// The results list's tooltips, its context menu and the two windows it opens, on the real main window
// offscreen after a real run against a real HTTP server.
#include "view/results_menu.h"

#include "app/main_window.h"
#include "app/windowing.h"
#include "collect/analysis_session.h"
#include "tests/collect/analysis_fixtures.h"
#include "tests/view/view_qt_support.h"
#include "view/cell_texts.h"
#include "view/fund_details.h"
#include "view/fund_holders_dialog.h"
#include "view/fund_overlap_window.h"
#include "view/qt_results_display.h"
#include "view/results_view_wiring.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace corvelle::view {
namespace {

using testing::gbk;
using namespace std::chrono_literals;

QString q(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

collect::FetchLimits testLimits()
{
    collect::FetchLimits limits;
    limits.connectTimeout = 2s;
    limits.totalTimeout = 20s;
    return limits;
}

// A table's cell texts, row by row.
std::vector<std::vector<QString>> tableTexts(const QTableWidget* table)
{
    std::vector<std::vector<QString>> texts;
    for (int row = 0; row < table->rowCount(); ++row) {
        texts.emplace_back();
        for (int column = 0; column < table->columnCount(); ++column)
            texts.back().push_back(table->item(row, column) ? table->item(row, column)->text() : QString());
    }
    return texts;
}

// The widgets of a kind under the window by objectName that are still shown (a closed one may wait
// for its deletion).
template <typename Widget> std::vector<Widget*> shown(const app::MainWindow& window, const char* objectName)
{
    std::vector<Widget*> found;
    for (Widget* widget : window.findChildren<Widget*>(q(objectName)))
        if (widget->isVisible())
            found.push_back(widget);
    return found;
}

class ResultsMenuTest : public ::testing::Test {
protected:
    ResultsMenuTest()
    {
        window.show();
        app::setWebAddressHandler([this](const std::string& address) { opened.push_back(address); });
    }
    ~ResultsMenuTest() override
    {
        app::setWebAddressHandler({});
        for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child->isWindow())
                child->close();
        testing::processPosted();
    }

    // Types the codes into the box, releases the mouse over 分析 and waits for the filled list.
    void analyse(const std::string& box)
    {
        app::setControlText(window.codeBox(), box);
        QTest::mouseClick(window.analyseLabel(), Qt::LeftButton);
        ASSERT_TRUE(testing::waitUntil([&] {
            return !view.session().isRunning() &&
                   app::rowCount(window.resultsList()) == static_cast<int>(view.session().tableSize());
        }));
        view.session().waitForWorkers();
        testing::processPosted();
    }

    // A right-click on a row (or the list's empty part for -1) as a user does it; the menu it opened.
    QMenu* rightClick(int row)
    {
        QTreeWidget* list = window.resultsList();
        QPoint at(40, list->viewport()->height() - 5);
        if (row >= 0)
            at = list->visualItemRect(list->topLevelItem(row)).center();
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, at);
        // The window system follows a right-click with a context menu event; the test's click alone
        // does not.
        QContextMenuEvent request(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &request);
        const auto menus = shown<QMenu>(window, "菜单_结果列表");
        return menus.size() == 1 ? menus.front() : nullptr;
    }

    // Chooses an entry of the menu a right-click on row opens, as a user does: the menu then closes.
    void choose(int row, const char* objectName)
    {
        QMenu* menu = rightClick(row);
        ASSERT_NE(menu, nullptr);
        QAction* action = entry(menu, objectName);
        ASSERT_NE(action, nullptr) << objectName;
        ASSERT_TRUE(action->isEnabled()) << objectName;
        action->trigger();
        menu->close();
        testing::processPosted();
    }

    static QAction* entry(QMenu* menu, const char* objectName)
    {
        return menu->findChild<QAction*>(q(objectName));
    }

    static std::map<std::string, bool> enabledEntries(QMenu* menu)
    {
        std::map<std::string, bool> enabled;
        for (const char* name : {"菜单项_持有基金", "菜单项_基金重合度", "菜单项_打开网页", "菜单项_复制"}) {
            const QAction* action = entry(menu, name);
            enabled[name] = action != nullptr && action->isEnabled();
        }
        return enabled;
    }

    testing::FixtureFundSite site;
    app::MainWindow window;
    ResultsView view{window, site.addresses(), testLimits()};
    std::vector<std::string> opened;
};

TEST_F(ResultsMenuTest, BeforeAnyRunEveryEntryIsDisabled)
{
    QMenu* menu = rightClick(-1);
    ASSERT_NE(menu, nullptr) << "a right-click on the list opens its menu";
    EXPECT_EQ(menu->actions().size(), 5) << "four entries and a separator";
    EXPECT_EQ(entry(menu, "菜单项_持有基金")->text(), q("持有基金…"));
    EXPECT_EQ(entry(menu, "菜单项_基金重合度")->text(), q("基金重合度…"));
    EXPECT_EQ(entry(menu, "菜单项_打开网页")->text(), q("打开网页"));
    EXPECT_EQ(entry(menu, "菜单项_复制")->text(), q("复制"));
    EXPECT_EQ(enabledEntries(menu), (std::map<std::string, bool>{{"菜单项_持有基金", false},
                                                                 {"菜单项_基金重合度", false},
                                                                 {"菜单项_打开网页", false},
                                                                 {"菜单项_复制", false}}));
    menu->close();
    testing::processPosted();
    EXPECT_TRUE(window.findChildren<QMenu*>(q("菜单_结果列表")).isEmpty()) << "the menu goes once closed";
}

TEST_F(ResultsMenuTest, RowsShowTheirFundsAsTooltipAndTheLabelTheRunSummary)
{
    analyse("481010\r\n002264\r\nabcdef\r\n519999");
    QTreeWidget* list = window.resultsList();
    const collect::RecordList table = view.session().tableSnapshot();
    ASSERT_EQ(table.size(), 5U);

    // The cells are what they always were.
    std::vector<collect::CellRow> expectedCells;
    for (const collect::HoldingRecord& record : table)
        expectedCells.push_back(cellTexts(record));
    EXPECT_EQ(testing::listRows(list), expectedCells);

    // 贵州茅台 and 宁德时代 come first (counts 3 and 2); every cell of a row shows the row's funds.
    EXPECT_EQ(list->topLevelItem(0)->toolTip(0), q("481010 5.5%\n002264 4%\nabcdef 3.25%"));
    EXPECT_EQ(list->topLevelItem(1)->toolTip(3), q("481010 4.25%\nabcdef 1%"));
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QString funds =
            app::toQString(collect::contributingFundsText(table[static_cast<std::size_t>(row)]));
        for (int column = 0; column < list->columnCount(); ++column)
            EXPECT_EQ(list->model()->data(list->model()->index(row, column), Qt::ToolTipRole).toString(),
                      funds)
                << "row " << row << " column " << column;
    }

    EXPECT_TRUE(window.progressLabel()->text().isEmpty())
        << "the label's own text stays as the run leaves it";
    EXPECT_EQ(window.progressLabel()->toolTip(),
              q("481010 已读取持仓\n002264 已读取持仓\nabcdef 已读取持仓\n519999 无股票持仓表"));
}

TEST_F(ResultsMenuTest, EntriesOfTheSelectedRow)
{
    analyse("481010\r\n002264\r\nabcdef\r\n519999");
    QMenu* menu = rightClick(0);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(app::currentSelection(window.resultsList()), 0) << "the right-click selects its row";
    EXPECT_EQ(enabledEntries(menu), (std::map<std::string, bool>{{"菜单项_持有基金", true},
                                                                 {"菜单项_基金重合度", true},
                                                                 {"菜单项_打开网页", true},
                                                                 {"菜单项_复制", true}}));

    menu->close();
    testing::processPosted();

    QApplication::clipboard()->clear();
    choose(0, "菜单项_复制");
    EXPECT_EQ(QApplication::clipboard()->text(), q("600519\t贵州茅台\t1800.5\t12.75\t3"));

    choose(0, "菜单项_打开网页");
    EXPECT_EQ(opened, (std::vector<std::string>{site.server().baseUrl() + "/sh600519.html"}));

    choose(0, "菜单项_持有基金");
    const auto dialogs = shown<FundHoldersDialog>(window, "对话框_持有基金");
    ASSERT_EQ(dialogs.size(), 1U);
    FundHoldersDialog* dialog = dialogs.front();
    EXPECT_TRUE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), q("持有基金"));
    EXPECT_EQ(dialog->findChild<QLabel*>(q("标签_持有基金_股票"))->text(), q("600519 贵州茅台 的持有基金"));
    const auto* holders = dialog->findChild<QTableWidget*>(q("表格_持有基金"));
    ASSERT_NE(holders, nullptr);
    EXPECT_EQ(tableTexts(holders), (std::vector<std::vector<QString>>{
                                       {q("481010"), q("基金"), q("5.5%"), q("2024-03-31")},
                                       {q("002264"), q("基金"), q("4%"), q("2024-03-31")},
                                       {q("abcdef"), q("基金"), q("3.25%"), q("2024-03-31")},
                                   }));
    dialog->close();
    testing::processPosted();
    EXPECT_TRUE(window.findChildren<FundHoldersDialog*>().isEmpty()) << "the dialog goes once closed";

    // The overlap of the three funds that yielded holdings (519999 had no table):
    //   481010: 贵州茅台 5.5, 宁德时代 4.25, 腾讯控股 3     = 12.75
    //   002264: 贵州茅台 4, 招商银行 2.5                   = 6.5
    //   abcdef: 宁德时代 1, 贵州茅台 3.25, 苹果 0.5        = 4.75
    //   481010-002264 = 4; 481010-abcdef = 1 + 3.25 = 4.25; 002264-abcdef = 3.25
    choose(0, "菜单项_基金重合度");
    const auto windows = shown<FundOverlapWindow>(window, "窗口_基金重合度");
    ASSERT_EQ(windows.size(), 1U);
    EXPECT_EQ(windows.front()->windowTitle(), q("基金重合度"));
    const auto* matrix = windows.front()->findChild<QTableWidget*>(q("表格_基金重合度"));
    ASSERT_NE(matrix, nullptr);
    EXPECT_EQ(tableTexts(matrix), (std::vector<std::vector<QString>>{
                                      {q("12.75"), q("4.00"), q("4.25")},
                                      {q("4.00"), q("6.50"), q("3.25")},
                                      {q("4.25"), q("3.25"), q("4.75")},
                                  }));
    EXPECT_EQ(matrix->verticalHeaderItem(0)->text(), q("481010 基金\n2024-03-31"));
    EXPECT_EQ(matrix->horizontalHeaderItem(2)->text(), q("abcdef"));
    EXPECT_FALSE(windows.front()->findChild<QLabel*>(q("标签_截止日期提示"))->isVisible())
        << "all three have the same as-of date";

    // A second request shows the latest run in one window; the overlap needs no selected row.
    window.resultsList()->clearSelection();
    choose(-1, "菜单项_基金重合度");
    EXPECT_EQ(shown<FundOverlapWindow>(window, "窗口_基金重合度").size(), 1U);
    EXPECT_EQ(window.findChildren<FundOverlapWindow*>().size(), 1) << "the replaced window is gone";
}

TEST_F(ResultsMenuTest, ARowTheTableNoLongerHasThereShowsNoFunds)
{
    analyse("481010\r\n002264\r\nabcdef");
    QTreeWidget* list = window.resultsList();
    list->setCurrentItem(list->topLevelItem(1));  // 宁德时代
    ASSERT_EQ(app::cellText(list, 1, 1), gbk("宁德时代"));

    // The sort reorders the table at once (腾讯控股 is second by price); the list follows only when the
    // refill's rows arrive, so until then row 1 of the list is not row 1 of the table.
    ASSERT_TRUE(view.session().sortAndShow(collect::SortKey::Price));
    QObject context;
    QMenu* menu = makeResultsMenu(window, view.session(), context);
    EXPECT_FALSE(entry(menu, "菜单项_持有基金")->isEnabled());
    EXPECT_TRUE(entry(menu, "菜单项_复制")->isEnabled()) << "what the list shows can still be copied";
    showSelectedFundHolders(window, view.session());
    EXPECT_TRUE(window.findChildren<FundHoldersDialog*>().isEmpty());
    delete menu;

    view.session().waitForWorkers();
    testing::processPosted();
    ASSERT_EQ(app::cellText(list, 1, 1), gbk("腾讯控股"));
    list->setCurrentItem(list->topLevelItem(1));
    menu = makeResultsMenu(window, view.session(), context);
    EXPECT_TRUE(entry(menu, "菜单项_持有基金")->isEnabled()) << "in step again";
    entry(menu, "菜单项_持有基金")->trigger();
    const auto dialogs = shown<FundHoldersDialog>(window, "对话框_持有基金");
    ASSERT_EQ(dialogs.size(), 1U);
    EXPECT_EQ(tableTexts(dialogs.front()->findChild<QTableWidget*>(q("表格_持有基金"))),
              (std::vector<std::vector<QString>>{{q("481010"), q("基金"), q("3%"), q("2024-03-31")}}));
    delete menu;
}

TEST(FundOverlapWindow, MarksTheFundsOfAnotherDateAndShadesByValue)
{
    using collect::FundOutcome;
    // 481010 and 002264 overlap by min(9.5, 7) + min(6, 8.5) = 13; 050025 shares nothing with 481010
    // and min(3, 1.75) = 1.75 with 002264; its date is not the common one.
    const std::vector<collect::FundInfo> funds{
        {"481010",
         gbk("工银中小盘"),
         "2026-09-30",
         FundOutcome::HoldingsRead,
         {{gbk("贵州茅台"), 9.5F}, {gbk("腾讯控股"), 6.0F}, {gbk("宁德时代"), 4.25F}}},
        {"002264",
         gbk("华夏乐享"),
         "2026-09-30",
         FundOutcome::HoldingsRead,
         {{gbk("贵州茅台"), 7.0F}, {gbk("腾讯控股"), 8.5F}, {gbk("五粮液"), 3.0F}}},
        {"050025",
         gbk("博时标普"),
         "2026-06-30",
         FundOutcome::HoldingsRead,
         {{gbk("五粮液"), 1.75F}, {"Apple", 5.0F}, {"Microsoft", 4.5F}}},
    };
    QWidget owner;
    auto* overlapWindow = new FundOverlapWindow(collect::fundOverlap(funds), &owner);
    overlapWindow->show();
    const auto* matrix = overlapWindow->findChild<QTableWidget*>(q("表格_基金重合度"));
    ASSERT_NE(matrix, nullptr);
    EXPECT_EQ(tableTexts(matrix), (std::vector<std::vector<QString>>{
                                      {q("19.75"), q("13.00"), q("0.00")},
                                      {q("13.00"), q("18.50"), q("1.75")},
                                      {q("0.00"), q("1.75"), q("11.25")},
                                  }));
    EXPECT_EQ(matrix->verticalHeaderItem(0)->text(), q("481010 工银中小盘\n2026-09-30"));
    EXPECT_EQ(matrix->verticalHeaderItem(2)->text(), q("※ 050025 博时标普\n2026-06-30"));

    // The largest total is the darkest cell, with white text; nothing in common is the lightest.
    EXPECT_EQ(matrix->item(0, 0)->background().color(), app::colourFromBgr(overlapCellColour(1.0)));
    EXPECT_EQ(matrix->item(0, 0)->foreground().color(), QColor(Qt::white));
    EXPECT_TRUE(matrix->item(0, 0)->font().bold()) << "the diagonal stands out";
    EXPECT_EQ(matrix->item(0, 2)->background().color(), app::colourFromBgr(overlapCellColour(0.0)));
    EXPECT_EQ(matrix->item(0, 2)->foreground().color(), QColor(Qt::black));
    EXPECT_EQ(matrix->item(0, 1)->background().color(), app::colourFromBgr(overlapCellColour(13.0 / 19.75)));

    const auto* warning = overlapWindow->findChild<QLabel*>(q("标签_截止日期提示"));
    ASSERT_NE(warning, nullptr);
    EXPECT_TRUE(warning->isVisible());
    EXPECT_EQ(warning->text(), q("注意：各基金持仓截止日期不同"));
    EXPECT_EQ(overlapWindow->findChild<QLabel*>(q("标签_截止日期说明"))->text(),
              q("※ 持仓截止日期与多数基金（2026-09-30）不同"));
    // The whole matrix is in view: no cell needs scrolling to.
    EXPECT_FALSE(matrix->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(matrix->verticalScrollBar()->isVisible());
}

TEST(QtResultsDisplayToolTips, TextsThatLookLikeMarkupShowAsTheyAre)
{
    QTreeWidget list;
    list.setColumnCount(5);
    QLabel label;
    QtResultsDisplay display(&list, &label);
    display.appendRowWithToolTip({"a", "b", "1", "2", "1"}, "<b>x</b> 5%\nabcdef 1%");
    display.setProgressToolTip("<img src=x> 已读取持仓");
    ASSERT_EQ(list.topLevelItemCount(), 1);
    const QString rowTip = list.topLevelItem(0)->toolTip(4);
    EXPECT_TRUE(rowTip.contains(q("&lt;b&gt;x&lt;/b&gt; 5%"))) << rowTip.toStdString();
    EXPECT_FALSE(label.toolTip().contains(q("<img"))) << label.toolTip().toStdString();
    display.appendRowWithToolTip({"c", "d", "1", "2", "1"}, "");
    EXPECT_TRUE(list.topLevelItem(1)->toolTip(0).isEmpty());
    EXPECT_EQ(list.topLevelItem(1)->text(1), q("d"));
}

}  // namespace
}  // namespace corvelle::view

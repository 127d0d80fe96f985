// The double-click on the results list: only http(s) addresses reach the browser, taken from the
// record at the selected row at the moment of the click.
#include "view/link_opener.h"

#include "app/windowing.h"
#include "collect/analysis_session.h"
#include "tests/collect/analysis_fixtures.h"
#include "tests/view/view_qt_support.h"
#include "view/qt_results_display.h"
#include "view/qt_ui_dispatcher.h"

#include <QLabel>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace corvelle::view {
namespace {

struct AddressCase {
    const char* name;
    const char* link;
    const char* base;
    std::optional<std::string> opened;
};

const AddressCase kAddressCases[] = {
    {"HttpOpensAsIs", "http://quote.example/sh600519.html", "http://fund.example/",
     "http://quote.example/sh600519.html"},
    {"HttpsOpensAsIs", "https://quote.example/sz000001.html", "http://fund.example/",
     "https://quote.example/sz000001.html"},
    {"ProtocolRelativeTakesTheFundSiteScheme", "//quote.example/unify/r/1.600519", "https://fund.example/",
     "https://quote.example/unify/r/1.600519"},
    {"ProtocolRelativeOnAnHttpSite", "//quote.example/unify/r/0.000001", "http://fund.example:8080/",
     "http://quote.example/unify/r/0.000001"},
    {"RootRelativeOpensOnTheFundSite", "/sh600519.html", "http://fund.example:8080/",
     "http://fund.example:8080/sh600519.html"},
    {"FileAddressIgnored", "file:///etc/passwd", "http://fund.example/", std::nullopt},
    {"JavascriptIgnored", "javascript:alert(1)", "http://fund.example/", std::nullopt},
    {"WindowsPathIgnored", "C:\\Windows\\System32\\calc.exe", "http://fund.example/", std::nullopt},
    {"BareFileNameIgnored", "calc.exe", "http://fund.example/", std::nullopt},
    {"RelativePathIgnored", "stocks/600519.html", "http://fund.example/", std::nullopt},
    {"CommandLineIgnored", "xdg-open /etc/passwd", "http://fund.example/", std::nullopt},
    {"EmptyLinkIgnored", "", "http://fund.example/", std::nullopt},
    {"OtherSchemeIgnored", "ftp://quote.example/x", "http://fund.example/", std::nullopt},
};

class OpenableAddress : public ::testing::TestWithParam<AddressCase> {};

TEST_P(OpenableAddress, OnlyWebAddresses)
{
    EXPECT_EQ(openableAddress(GetParam().link, GetParam().base), GetParam().opened);
}

INSTANTIATE_TEST_SUITE_P(Cases, OpenableAddress, ::testing::ValuesIn(kAddressCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A fund whose holdings carry every kind of link a page could give, analysed into a real list.
class OpenSelectedLinkTest : public ::testing::Test {
protected:
    OpenSelectedLinkTest()
    {
        server.get("/777777.html", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content(testing::fundPage({{"{base}/sh600519.html", "甲", "9"},
                                                    {"https://quote.example/sz000001.html", "乙", "8"},
                                                    {"//quote.example/unify/r/1.600036", "丙", "7"},
                                                    {"/sh601318.html", "丁", "6"},
                                                    {"file:///etc/passwd", "戊", "5"},
                                                    {"javascript:alert(1)", "己", "4"},
                                                    {"C:\\Windows\\System32\\calc.exe", "庚", "3"},
                                                    {"xdg-open /etc/passwd", "辛", "2"}},
                                                   server.baseUrl(), server.port()),
                                 "text/html; charset=utf-8");
        });
        server.get("/api/qt/stock/get", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(testing::quoteReply("1.0"), "application/json");
        });
        server.start();
        list.setColumnCount(5);
        session = std::make_unique<collect::AnalysisSession>(
            dispatcher, display, collect::ServiceAddresses{server.baseUrl() + "/", server.baseUrl()});
        app::setWebAddressHandler([this](const std::string& address) { opened.push_back(address); });
    }
    ~OpenSelectedLinkTest() override { app::setWebAddressHandler({}); }

    void analyse()
    {
        ASSERT_TRUE(session->startAnalysis("777777"));
        ASSERT_TRUE(testing::waitUntil([&] { return !session->isRunning(); }));
        session->waitForWorkers();
        testing::processPosted();
        ASSERT_EQ(app::rowCount(&list), 8);
    }

    void selectRowNamed(const char* nameUtf8)
    {
        for (int row = 0; row < app::rowCount(&list); ++row) {
            if (app::cellText(&list, row, 1) == testing::gbk(nameUtf8)) {
                list.setCurrentItem(list.topLevelItem(row));
                return;
            }
        }
        FAIL() << "no row " << nameUtf8;
    }

    testing::TestServer server;
    QTreeWidget list;
    QLabel label;
    QtUiDispatcher dispatcher;
    QtResultsDisplay display{&list, &label};
    std::unique_ptr<collect::AnalysisSession> session;
    std::vector<std::string> opened;
};

TEST_F(OpenSelectedLinkTest, WebLinksOpenResolvedAndEverythingElseIsIgnored)
{
    analyse();
    const std::string base = server.baseUrl();
    struct Expected {
        const char* name;
        std::vector<std::string> opened;
    };
    const Expected rows[] = {
        {"甲", {base + "/sh600519.html"}},
        {"乙", {"https://quote.example/sz000001.html"}},
        {"丙", {"http://quote.example/unify/r/1.600036"}},
        {"丁", {base + "/sh601318.html"}},
        {"戊", {}},
        {"己", {}},
        {"庚", {}},
        {"辛", {}},
    };
    for (const Expected& row : rows) {
        opened.clear();
        selectRowNamed(row.name);
        openSelectedLink(&list, *session);
        EXPECT_EQ(opened, row.opened) << row.name;
    }
}

TEST_F(OpenSelectedLinkTest, TheRecordAtTheSelectedRowIsOpened)
{
    analyse();
    const collect::RecordList table = session->tableSnapshot();
    list.setCurrentItem(list.topLevelItem(2));
    openSelectedLink(&list, *session);
    const auto expected = openableAddress(table[2].link, server.baseUrl() + "/");
    EXPECT_EQ(opened, expected ? std::vector<std::string>{*expected} : std::vector<std::string>{});
    EXPECT_EQ(app::cellText(&list, 2, 1), table[2].name) << "row 2 shows record 3";
}

TEST_F(OpenSelectedLinkTest, NoSelectionOpensNothing)
{
    analyse();
    list.clearSelection();
    ASSERT_EQ(app::currentSelection(&list), -1);
    openSelectedLink(&list, *session);
    EXPECT_TRUE(opened.empty());
}

TEST_F(OpenSelectedLinkTest, ARowWithoutARecordOpensNothing)
{
    analyse();
    app::appendEmptyRow(&list);  // the list one row longer than the table, as a racing refill could leave it
    list.setCurrentItem(list.topLevelItem(8));
    openSelectedLink(&list, *session);
    EXPECT_TRUE(opened.empty());
}

}  // namespace
}  // namespace corvelle::view

// The windowing services on real widgets: GBK texts in and out, list operations, colours, the message
// box and the opening of web addresses.
#include "app/windowing.h"

#include "collect/charset.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvelle::app {
namespace {

std::string gbk(const char* utf8)
{
    return collect::utf8ToGbk(utf8);
}

TEST(GbkTexts, CrossIntoQtAndBackUnchanged)
{
    const char* texts[] = {
        "", "600519", "贵州茅台", "腾讯控股 00700", "价格▼", "100 % , 解析基金代码 002264 中…… ", "€"};
    for (const char* text : texts) {
        EXPECT_EQ(toQString(gbk(text)), QString::fromUtf8(text)) << text;
        EXPECT_EQ(toGbk(QString::fromUtf8(text)), gbk(text)) << text;
    }
    EXPECT_EQ(toGbk(QString::fromUtf8("a😀b")), "a?b") << "a character GBK cannot hold";
}

TEST(ColourFromBgr, RedIsTheLowestByte)
{
    EXPECT_EQ(colourFromBgr(0x2A69FF), QColor(255, 105, 42));
    EXPECT_EQ(colourFromBgr(0xDFFE01), QColor(1, 254, 223));
}

TEST(LabelText, IsShownAsPlainTextWhateverItHolds)
{
    QLabel label;
    setControlText(&label, "<b>600519</b>&amp;");
    EXPECT_EQ(label.text(), QStringLiteral("<b>600519</b>&amp;"));
    EXPECT_EQ(label.textFormat(), Qt::PlainText);
}

TEST(EditBoxText, HasCrLfBetweenLines)
{
    QPlainTextEdit edit;
    setControlText(&edit, "481010\r\n002264\r\n\r\n110011");
    EXPECT_EQ(edit.blockCount(), 4);
    EXPECT_EQ(editBoxText(&edit), "481010\r\n002264\r\n\r\n110011");

    setControlText(&edit, "");
    EXPECT_EQ(editBoxText(&edit), "");
    setControlText(&edit, "481010\r\n");
    EXPECT_EQ(editBoxText(&edit), "481010\r\n");
}

TEST(EditBoxText, TypedLinesComeBackWithCrLf)
{
    QPlainTextEdit edit;
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    QTest::keyClicks(&edit, QStringLiteral("481010"));
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClicks(&edit, QStringLiteral("002264"));
    EXPECT_EQ(editBoxText(&edit), "481010\r\n002264");
}

TEST(ReportList, RowsKeepTheOrderTheyWereAppendedIn)
{
    QTreeWidget list;
    list.setColumnCount(5);
    list.setHeaderLabels({QString::fromUtf8("股票代码"), QStringLiteral("b"), QStringLiteral("c"),
                          QStringLiteral("d"), QStringLiteral("e")});
    list.setHeaderHidden(true);
    EXPECT_EQ(columnCount(&list), 5) << "the hidden header strip still counts its columns";
    EXPECT_EQ(columnTitle(&list, 0), gbk("股票代码"));
    EXPECT_EQ(columnTitle(&list, 5), "");

    for (int row = 0; row < 3; ++row) {
        appendEmptyRow(&list);
        EXPECT_EQ(cellText(&list, row, 4), "") << "a new row is empty";
        setCellText(&list, row, 1, gbk("股票") + std::to_string(row));
    }
    ASSERT_EQ(rowCount(&list), 3);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(cellText(&list, row, 1), gbk("股票") + std::to_string(row));

    // Out of range: nothing happens, nothing is read.
    setCellText(&list, 3, 0, "x");
    setCellText(&list, 0, 5, "x");
    setCellText(&list, -1, 0, "x");
    EXPECT_EQ(cellText(&list, 3, 0), "");
    EXPECT_EQ(cellText(&list, 0, -1), "");
    EXPECT_EQ(rowCount(&list), 3);

    deleteAllRows(&list);
    EXPECT_EQ(rowCount(&list), 0);
    EXPECT_EQ(columnCount(&list), 5);
}

TEST(ReportList, CurrentSelectionIsTheSelectedRowOrMinusOne)
{
    QTreeWidget list;
    list.setColumnCount(5);
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    EXPECT_EQ(currentSelection(&list), -1);
    for (int row = 0; row < 4; ++row)
        appendEmptyRow(&list);
    EXPECT_EQ(currentSelection(&list), -1);
    list.topLevelItem(2)->setSelected(true);
    EXPECT_EQ(currentSelection(&list), 2);
    list.clearSelection();
    EXPECT_EQ(currentSelection(&list), -1);
}

TEST(Colours, ListTextBackgroundReachesOldAndNewRows)
{
    QTreeWidget list;
    list.setColumnCount(5);
    appendEmptyRow(&list);
    setTextBackgroundColour(&list, 0x3B2E03);
    appendEmptyRow(&list);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 5; ++column)
            EXPECT_EQ(list.topLevelItem(row)->background(column).color(), QColor(3, 46, 59)) << row << column;
}

TEST(Colours, FieldsUseBaseAndTextLabelsWindowAndWindowText)
{
    QPlainTextEdit edit;
    QLabel label;
    setBackgroundColour(&edit, 0x0000FF);
    setTextColour(&edit, 0x00FF00);
    setBackgroundColour(&label, 0xFF0000);
    setTextColour(&label, 0x00FFFF);
    EXPECT_EQ(edit.palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(edit.palette().color(QPalette::Text), QColor(0, 255, 0));
    EXPECT_EQ(label.palette().color(QPalette::Window), QColor(0, 0, 255));
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(255, 255, 0));
    EXPECT_TRUE(label.autoFillBackground());
}

TEST(MessageBox, HasTheCaptionOneOkButtonAndIsApplicationModal)
{
    setMessageBoxHandler({});
    QString caption;
    QString text;
    int buttons = -1;
    bool applicationModal = false;
    bool ownerless = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        text = box->text();
        buttons = static_cast<int>(box->buttons().size());
        applicationModal = box->windowModality() == Qt::ApplicationModal;
        ownerless = box->parentWidget() == nullptr;
        box->button(QMessageBox::Ok)->click();
    });
    showMessage(gbk("列表尚未填完，请稍候。"));
    EXPECT_EQ(caption, QString::fromUtf8("信息："));
    EXPECT_EQ(text, QString::fromUtf8("列表尚未填完，请稍候。"));
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(applicationModal);
    EXPECT_TRUE(ownerless);
}

TEST(MessageBox, ReplacementHandlerGetsTheGbkText)
{
    std::vector<std::string> shown;
    setMessageBoxHandler([&shown](const std::string& text) { shown.push_back(text); });
    showMessage(gbk("导出失败"));
    setMessageBoxHandler({});
    EXPECT_EQ(shown, std::vector<std::string>{gbk("导出失败")});
}

// Stands in for the desktop's browser: Qt hands it the addresses of the schemes it is registered for.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    std::vector<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.push_back(url); }
};

TEST(OpenWebAddress, HandsOnlyWebAddressesToTheDesktop)
{
    UrlRecorder recorder;
    const char* schemes[] = {"http", "https", "file", "javascript", "mailto", "ftp"};
    for (const char* scheme : schemes)
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &recorder, "open");

    openWebAddress("http://127.0.0.1:18731/sh600519.html");
    openWebAddress("HTTPS://quote.example/unify/r/1.600519");
    openWebAddress("file:///etc/passwd");
    openWebAddress("javascript:alert(1)");
    openWebAddress("mailto:someone@example.com");
    openWebAddress("ftp://example.com/x");
    openWebAddress("http://");
    openWebAddress("/sh600519.html");

    for (const char* scheme : schemes)
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    ASSERT_EQ(recorder.urls.size(), 2U);
    EXPECT_EQ(recorder.urls[0], QUrl(QStringLiteral("http://127.0.0.1:18731/sh600519.html")));
    EXPECT_EQ(recorder.urls[1].host(), QStringLiteral("quote.example"));
}

TEST(OpenWebAddress, ReplacementHandlerGetsEveryAddress)
{
    std::vector<std::string> opened;
    setWebAddressHandler([&opened](const std::string& address) { opened.push_back(address); });
    openWebAddress("http://127.0.0.1/x.html");
    openWebAddress("file:///etc/passwd");
    setWebAddressHandler({});
    EXPECT_EQ(opened, (std::vector<std::string>{"http://127.0.0.1/x.html", "file:///etc/passwd"}));
}

}  // namespace
}  // namespace corvelle::app

#include "windowing_qt_test.moc"

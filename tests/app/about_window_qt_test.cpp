// The About window on real widgets: layout, texts, fonts, colours, pictures, links and modality.
#include "app/about_links.h"
#include "app/about_window.h"
#include "app/click_label.h"
#include "app/main_window.h"
#include "app/windowing.h"
#include "collect/charset.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace corvelle::app {
namespace {

QString utf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* control(QWidget& window, const char* layoutName)
{
    return window.findChild<QLabel*>(QString::fromUtf8(layoutName));
}

// Stands in for the browser: QDesktopServices hands it the file addresses the links open.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    std::vector<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.push_back(url); }
};

// Runs check on the modal window once openAbout has shown it, then closes that window.
void whileAboutIsOpen(QWidget* owner, const std::function<void(QWidget&)>& check)
{
    bool ran = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr) << "no modal window while openAbout runs";
        ran = true;
        check(*modal);
        modal->close();
    });
    openAbout(owner);
    EXPECT_TRUE(ran);
}

TEST(AboutWindow, IsTheLayoutsWindow)
{
    AboutWindow window;
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("关于"));
    EXPECT_EQ(window.size(), QSize(851, 372));
    EXPECT_EQ(window.pos(), QPoint(50, 50));
    EXPECT_EQ(window.windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(0, 0, 0));
    EXPECT_TRUE(window.autoFillBackground());
}

TEST(AboutWindow, ControlsSitWhereTheLayoutPutsThem)
{
    struct Expected {
        const char* name;
        QRect geometry;
        int pixelSize;  // 0: a picture box, no text
        bool bold;
        QString text;
    };
    const Expected controls[] = {
        {"标签_说明", {8, 17, 408, 310}, 16, false, toQString(aboutInstructions())},
        {"超级链接框3", {435, 23, 120, 32}, 16, true, QString::fromUtf8("捐助")},
        {"超级链接框2", {579, 23, 120, 32}, 16, true, utf8(kBlogCaption)},
        {"超级链接框1", {715, 23, 120, 32}, 16, true, QString::fromUtf8("软件更新")},
        {"图片框1", {435, 78, 400, 177}, 0, false, {}},
        {"图片框2", {440, 280, 40, 40}, 0, false, {}},
        {"标签_2", {640, 296, 195, 49}, 19, false, {}},
    };
    AboutWindow window;
    for (const Expected& c : controls) {
        SCOPED_TRACE(c.name);
        QLabel* label = control(window, c.name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->parentWidget(), &window);
        EXPECT_EQ(label->geometry(), c.geometry);
        if (c.pixelSize == 0)
            continue;
        EXPECT_EQ(label->font().pixelSize(), c.pixelSize);
        EXPECT_EQ(label->font().bold(), c.bold);
        EXPECT_EQ(label->font().families().value(0), QString::fromUtf8("微软雅黑"));
        // Where 微软雅黑 is missing, a CJK face of the list stands in, so the Chinese shows.
        EXPECT_TRUE(label->font().families().contains(QFontInfo(label->font()).family()))
            << QFontInfo(label->font()).family().toStdString();
        if (!c.text.isEmpty()) {
            EXPECT_EQ(label->text(), c.text);
        }
    }
    EXPECT_FALSE(control(window, "标签_2")->text().isEmpty()) << "the contact line";
}

TEST(AboutWindow, InstructionsAreFourteenLinesOfFourHundredGbkBytes)
{
    AboutWindow window;
    QLabel* label = control(window, "标签_说明");
    ASSERT_NE(label, nullptr);
    std::string shown = toGbk(label->text());
    EXPECT_EQ(shown, aboutInstructions());
    EXPECT_EQ(shown.size(), 400U);
    EXPECT_NE(shown.back(), '\n') << "no line break after the last line";

    std::vector<std::string> lines;
    for (std::size_t start = 0;;) {
        std::size_t end = shown.find("\r\n", start);
        lines.push_back(shown.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 14U);
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].empty(), i == 6 || i == 10 || i == 12) << "line " << i + 1;
    EXPECT_EQ(lines.front(), collect::utf8ToGbk("使用说明"));
    EXPECT_EQ(lines[7], collect::utf8ToGbk("分析结果说明："));
    EXPECT_EQ(lines.back(), collect::utf8ToGbk("本软件结果仅供参考。别忘了点赞，投币"));
}

TEST(AboutWindow, ColoursAndPicturesShowOnScreen)
{
    AboutWindow window;
    QLabel* instructions = control(window, "标签_说明");
    QLabel* contact = control(window, "标签_2");
    QLabel* donate = control(window, "图片框1");
    QLabel* badge = control(window, "图片框2");
    ASSERT_TRUE(instructions && contact && donate && badge);
    const QColor orange(255, 128, 0);
    EXPECT_EQ(instructions->palette().color(QPalette::Window), orange);
    EXPECT_EQ(instructions->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    EXPECT_EQ(contact->palette().color(QPalette::WindowText), orange);
    EXPECT_EQ(contact->palette().color(QPalette::Window), QColor(0, 0, 0));

    EXPECT_EQ(donate->pixmap().size(), QSize(632, 280));
    EXPECT_TRUE(donate->hasScaledContents()) << "the 632 x 280 picture is stretched into its box";
    EXPECT_EQ(badge->pixmap().size(), QSize(40, 40));
    EXPECT_FALSE(badge->hasScaledContents());
    EXPECT_EQ(badge->alignment(), Qt::AlignLeft | Qt::AlignTop);

    // What the window really paints.
    QImage shot = window.grab().toImage();
    ASSERT_EQ(shot.size(), QSize(851, 372));
    EXPECT_EQ(shot.pixelColor(2, 2), QColor(0, 0, 0)) << "window background";
    EXPECT_EQ(shot.pixelColor(410, 320), orange) << "instructions background";
    QColor paper = shot.pixelColor(440, 250);  // the donation card's light paper near its lower left
    EXPECT_GT(paper.lightness(), 200) << "donation picture";
    QColor disc = shot.pixelColor(460, 284);
    EXPECT_GT(disc.blue(), disc.red() + 80) << "blue badge";
}

TEST(AboutWindow, LinksOpenTheProgramsOwnPages)
{
    struct Link {
        const char* name;
        std::string_view link;
        const char* title;
    };
    const Link links[] = {
        {"超级链接框3", kDonateLink, "捐助"},
        {"超级链接框2", kBlogLink, "作者博客"},
        {"超级链接框1", kUpdatesLink, "软件更新"},
    };
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    AboutWindow window;
    window.show();
    for (const Link& l : links) {
        SCOPED_TRACE(l.name);
        QLabel* label = control(window, l.name);
        ASSERT_NE(label, nullptr);
        recorder.opened.clear();
        QTest::mouseClick(label, Qt::LeftButton);
        ASSERT_EQ(recorder.opened.size(), 1U) << "a click opens the link once";
        const QUrl& url = recorder.opened.front();
        EXPECT_EQ(url.toEncoded().toStdString(), aboutLinkAddress(l.link));
        ASSERT_TRUE(url.isLocalFile()) << url.toString().toStdString();
        std::filesystem::path page(url.toLocalFile().toStdString());
        ASSERT_TRUE(std::filesystem::is_regular_file(page)) << page;
        EXPECT_EQ(page.filename(), std::filesystem::path(l.link).filename());
        std::string html = testing::readFileBytes(page);
        EXPECT_NE(html.find(std::string("<title>") + l.title), std::string::npos)
            << "the page for " << l.title;
    }
    // A press that is dragged off the link before the button comes up opens nothing.
    QLabel* donate = control(window, "超级链接框3");
    recorder.opened.clear();
    QTest::mousePress(donate, Qt::LeftButton);
    QTest::mouseRelease(donate, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_TRUE(recorder.opened.empty());
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

TEST(AboutWindow, WebLinksPassThroughAndMissingPagesStillGiveAFileAddress)
{
    EXPECT_EQ(aboutLinkAddress("https://example.org/corvelle"), "https://example.org/corvelle");
    std::string missing = aboutLinkAddress("docs/no-such-page.html");
    EXPECT_EQ(missing.rfind("file:///", 0), 0U) << missing;
    EXPECT_NE(missing.find("docs/no-such-page.html"), std::string::npos) << missing;
}

TEST(AboutWindow, OpensModallyOverTheMainWindow)
{
    MainWindow mainWindow;
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
    int themePresses = 0;
    QObject::connect(mainWindow.themeLabel(), &ClickLabel::pressed, [&] { ++themePresses; });
    const QPoint themeLabel = mainWindow.themeLabel()->geometry().center();
    setControlText(mainWindow.codeBox(), "000001");
    const QRect before = mainWindow.geometry();

    QPointer<QWidget> seen;
    whileAboutIsOpen(&mainWindow, [&](QWidget& about) {
        seen = &about;
        EXPECT_NE(qobject_cast<AboutWindow*>(&about), nullptr);
        EXPECT_TRUE(about.isModal());
        EXPECT_EQ(about.windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(about.parentWidget(), &mainWindow);
        // A click through the window system, as a user's would arrive: the blocked main window ignores it.
        QTest::mouseClick(mainWindow.windowHandle(), Qt::LeftButton, {}, themeLabel);
        EXPECT_EQ(themePresses, 0) << "the main window took a click while the About window was open";
    });
    EXPECT_TRUE(seen.isNull()) << "openAbout returned with its window still alive";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // Back to the main window, unchanged and taking input again.
    EXPECT_EQ(mainWindow.geometry(), before);
    EXPECT_EQ(editBoxText(mainWindow.codeBox()), "000001");
    QTest::mouseClick(mainWindow.windowHandle(), Qt::LeftButton, {}, themeLabel);
    EXPECT_EQ(themePresses, 1) << "the same click reaches the main window once the About window is closed";
}

}  // namespace
}  // namespace corvelle::app

#include "about_window_qt_test.moc"

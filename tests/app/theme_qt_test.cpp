// Themes as the user sees them: pixels of the grabbed window for each saved value, and the ★ cycle.
#include "app/main_window.h"
#include "app/program.h"
#include "app/settings_file.h"
#include "app/theme.h"
#include "app/windowing.h"

#include "collect/charset.h"
#include "tests/app/working_directory.h"
#include "tests/support/temp_dir.h"

#include <QImage>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace corvelle::app {
namespace {

using testing::readFileBytes;
using testing::TempDir;
using testing::WorkingDirectory;
using testing::writeFileBytes;

// Colours as red, green, blue.
struct Rgb {
    int red;
    int green;
    int blue;
};

struct ExpectedColours {
    Rgb window;
    Rgb buttonBackground;
    Rgb buttonText;
    Rgb captionBackground;
    Rgb captionText;
    Rgb fieldBackground;
    Rgb fieldText;
};

constexpr Rgb kBlack{0, 0, 0};
const ExpectedColours kTheme1{kBlack,          kBlack,         {255, 105, 42}, kBlack,
                              {192, 192, 192}, {255, 105, 42}, kBlack};
const ExpectedColours kTheme2{{80, 126, 115},  {96, 151, 137},  kBlack, {80, 126, 115},
                              {192, 192, 192}, {158, 194, 186}, kBlack};
const ExpectedColours kTheme3{kBlack,          {1, 254, 223}, {0, 63, 58},   kBlack,
                              {246, 255, 250}, {3, 46, 59},   {16, 247, 213}};
const ExpectedColours kAllBlack{kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack};

std::string describe(const QColor& colour)
{
    return "(" + std::to_string(colour.red()) + ", " + std::to_string(colour.green()) + ", " +
           std::to_string(colour.blue()) + ")";
}

bool near(const QColor& colour, Rgb expected, int tolerance)
{
    return std::abs(colour.red() - expected.red) <= tolerance &&
           std::abs(colour.green() - expected.green) <= tolerance &&
           std::abs(colour.blue() - expected.blue) <= tolerance;
}

// Pixels in area whose colour is (nearly) expected: text strokes are antialiased at their edges only.
int countNear(const QImage& image, const QRect& area, Rgb expected)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (near(image.pixelColor(x, y), expected, 6))
                ++count;
    return count;
}

void fillTexts(MainWindow& window)
{
    // The code box's caret inverts what lies under it (white on black) and blinks; keep it out.
    window.codeBox()->clearFocus();
    setControlText(window.codeBox(), "481010\r\n002264");
    setControlText(window.progressLabel(), "100 %");
    appendEmptyRow(window.resultsList());
    setCellText(window.resultsList(), 0, 0, "600519");
}

// Checks every themed place of the grabbed window: backgrounds at points, texts by their pixels.
void expectColours(MainWindow& window, const ExpectedColours& expected, const std::string& name)
{
    QImage image = window.grab().toImage();
    ASSERT_EQ(image.size(), QSize(760, 628)) << name;
    auto expectPixel = [&](QPoint point, Rgb colour, const char* where) {
        QColor actual = image.pixelColor(point);
        EXPECT_TRUE(near(actual, colour, 0)) << name << ", " << where << ": " << describe(actual);
    };
    expectPixel({5, 5}, expected.window, "window background, top left");
    expectPixel({400, 612}, expected.window, "window background, bottom");
    expectPixel({28, 549}, expected.buttonBackground, "button label 标签_分析");
    expectPixel({731, 586}, expected.buttonBackground, "button label 标签_关于");
    expectPixel({731, 18}, expected.buttonBackground, "header label 标签_重复次数");
    expectPixel({16, 18}, expected.captionBackground, "caption label 标签_输入");
    expectPixel({508, 548}, expected.captionBackground, "progress label");
    expectPixel({90, 520}, expected.fieldBackground, "code box");
    expectPixel({600, 520}, expected.fieldBackground, "results list");

    QRect analyse = window.analyseLabel()->geometry();
    QRect input = window.inputCaptionLabel()->geometry();
    QRect progress = window.progressLabel()->geometry();
    QRect codeBox = window.codeBox()->geometry().adjusted(4, 4, -4, -300);
    QRect firstRow = window.resultsList()->geometry().adjusted(4, 4, -400, -440);
    if (near(QColor(expected.buttonText.red, expected.buttonText.green, expected.buttonText.blue),
             expected.buttonBackground, 0)) {
        // Black on black: nothing else may show through anywhere in these controls.
        for (QRect area : {analyse, input, progress, codeBox, firstRow})
            EXPECT_EQ(countNear(image, area, kBlack), area.width() * area.height()) << name;
        return;
    }
    EXPECT_GT(countNear(image, analyse, expected.buttonText), 10) << name << ": text of 标签_分析";
    EXPECT_GT(countNear(image, input, expected.captionText), 10) << name << ": text of 标签_输入";
    EXPECT_GT(countNear(image, progress, expected.captionText), 5) << name << ": text of the progress label";
    EXPECT_EQ(countNear(image, progress, expected.buttonText), 0)
        << name << ": the progress label shows the caption colours, not the button colours";
    EXPECT_GT(countNear(image, codeBox, expected.fieldText), 10) << name << ": text of the code box";
    EXPECT_GT(countNear(image, firstRow, expected.fieldText), 10) << name << ": text of the list's row";
}

// Starts a window the way the program does, in a working directory holding savedUtf8 as 配置.ini.
struct StartedWindow {
    explicit StartedWindow(const std::optional<std::string>& savedUtf8)
    {
        if (savedUtf8)
            writeFileBytes(folder.file("配置.ini"), collect::utf8ToGbk(*savedUtf8));
        windowCreated(window, theme);
        connectThemeLabel(window, theme);
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
    }

    TempDir folder;
    WorkingDirectory inFolder{folder.path()};
    MainWindow window;
    ThemeState theme;
    bool exposed = false;
};

TEST(ThemeColours, SavedValuesPaintTheirColours)
{
    struct Case {
        const char* name;
        std::optional<std::string> saved;
        int theme;
        const ExpectedColours* colours;
    };
    const Case cases[] = {
        {"no file", std::nullopt, 1, &kTheme1},
        {"saved 1", "[设置]\r\n颜色=1\r\n", 1, &kTheme1},
        {"saved 2", "[设置]\r\n颜色=2\r\n", 2, &kTheme2},
        {"saved 3", "[设置]\r\n颜色=3\r\n", 3, &kTheme3},
        {"saved 5", "[设置]\r\n颜色=5\r\n", 5, &kAllBlack},
        {"saved 0", "[设置]\r\n颜色=0\r\n", 0, &kAllBlack},
        {"saved abc", "[设置]\r\n颜色=abc\r\n", 0, &kAllBlack},
    };
    for (const Case& c : cases) {
        StartedWindow started(c.saved);
        ASSERT_TRUE(started.exposed);
        fillTexts(started.window);
        EXPECT_EQ(started.theme.number, c.theme) << c.name;
        expectColours(started.window, *c.colours, c.name);
    }
}

TEST(ThemeColours, RowsKeepTheTextBackgroundAcrossThemeChanges)
{
    StartedWindow started(std::nullopt);
    ASSERT_TRUE(started.exposed);
    fillTexts(started.window);
    applyTheme(started.window, 2);
    QTreeWidget* list = started.window.resultsList();
    appendEmptyRow(list);
    setCellText(list, 1, 0, "000001");
    expectColours(started.window, kTheme2, "theme 2 after theme 1");
    EXPECT_EQ(list->topLevelItem(0)->background(0).color(), QColor(158, 194, 186)) << "row from before";
    EXPECT_EQ(list->topLevelItem(1)->background(4).color(), QColor(158, 194, 186)) << "row appended later";
}

// The ★ label: which theme each press gives, starting from each saved value, and what closing saves.
TEST(ThemeCycle, StarPressesFromEachSavedValue)
{
    struct Case {
        const char* name;
        std::optional<std::string> saved;
        std::vector<int> themesAfterPresses;
    };
    const Case cases[] = {
        {"no file", std::nullopt, {2, 3, 1, 2}},         {"saved 1", "[设置]\r\n颜色=1\r\n", {2, 3, 1}},
        {"saved 3", "[设置]\r\n颜色=3\r\n", {1, 2}},     {"saved 5", "[设置]\r\n颜色=5\r\n", {1, 1, 1}},
        {"saved 0", "[设置]\r\n颜色=0\r\n", {1, 2}},     {"saved -1", "[设置]\r\n颜色=-1\r\n", {0, 1, 2}},
        {"saved abc", "[设置]\r\n颜色=abc\r\n", {1, 2}},
    };
    const QColor buttonBackgrounds[] = {QColor(0, 0, 0), QColor(0, 0, 0), QColor(96, 151, 137),
                                        QColor(1, 254, 223)};
    for (const Case& c : cases) {
        StartedWindow started(c.saved);
        ASSERT_TRUE(started.exposed);
        MainWindow& window = started.window;
        ThemeState& theme = started.theme;
        for (int expected : c.themesAfterPresses) {
            QTest::mouseClick(window.themeLabel(), Qt::LeftButton);
            EXPECT_EQ(theme.number, expected) << c.name;
            QColor shown = window.grab().toImage().pixelColor(28, 549);
            EXPECT_EQ(shown, buttonBackgrounds[std::max(0, expected)]) << c.name << " " << describe(shown);
        }
        windowClosing(theme);
        EXPECT_EQ(readSavedTheme(settingsFilePath()), c.themesAfterPresses.back()) << c.name;
    }
}

TEST(ThemeSettings, FirstStartCreatesTheFileWithTheThemeReached)
{
    TempDir folder;
    WorkingDirectory inFolder(folder.path());
    MainWindow window;
    ThemeState theme;
    windowCreated(window, theme);
    connectThemeLabel(window, theme);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QObject::connect(&window, &MainWindow::aboutToClose, [&theme] { windowClosing(theme); });
    QTest::mouseClick(window.themeLabel(), Qt::LeftButton);
    window.close();
    EXPECT_EQ(readFileBytes(folder.file("配置.ini")), collect::utf8ToGbk("[设置]\r\n颜色=2\r\n"));
}

TEST(ThemeSettings, ReadAndWrittenInTheWorkingDirectoryOfTheMoment)
{
    TempDir startFolder;
    TempDir laterFolder;
    writeFileBytes(startFolder.file("配置.ini"), collect::utf8ToGbk("[设置]\n颜色=3\n"));
    MainWindow window;
    ThemeState theme;
    {
        WorkingDirectory inStart(startFolder.path());
        windowCreated(window, theme);
    }
    EXPECT_EQ(theme.number, 3);
    WorkingDirectory inLater(laterFolder.path());
    windowClosing(theme);
    EXPECT_EQ(readFileBytes(laterFolder.file("配置.ini")), collect::utf8ToGbk("[设置]\r\n颜色=3\r\n"));
    EXPECT_EQ(readFileBytes(startFolder.file("配置.ini")), collect::utf8ToGbk("[设置]\n颜色=3\n"));
}

}  // namespace
}  // namespace corvelle::app

// The main window's layout, found by objectName on the real widgets, and its mouse signals.
#include "app/main_window.h"

#include "app/program.h"
#include "app/windowing.h"
#include "tests/app/working_directory.h"
#include "tests/support/temp_dir.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <vector>

namespace corvelle::app {
namespace {

struct ControlLayout {
    const char* name;
    QRect geometry;
    const char* text;
    int pixelSize;  // 0: the system's default font
    bool bold;
};

const ControlLayout kLabels[] = {
    {"标签_输入", {14, 16, 144, 32}, "输入基金代码", 19, false},
    {"标签_股票代码", {173, 16, 88, 32}, "股票代码", 19, false},
    {"标签_股票名称", {275, 16, 103, 32}, "股票名称", 19, false},
    {"标签_股票价格", {392, 16, 103, 32}, "价格▼", 19, false},
    {"标签_持仓比例", {504, 16, 110, 32}, "持仓比例▼", 19, false},
    {"标签_重复次数", {624, 16, 110, 32}, "重复次数▼", 19, false},
    {"标签_分析", {24, 546, 128, 40}, "分析", 20, true},
    {"标签_进度", {177, 546, 335, 40}, "", 19, false},
    {"标签_导出", {528, 554, 64, 32}, "导出", 19, false},
    {"标签_颜色切换", {611, 554, 32, 32}, "★", 0, false},
    {"标签_关于", {654, 549, 80, 40}, "关于", 19, false},
};

// Whether the font the label really gets can draw every character of text (no empty boxes).
void expectDrawable(const QFont& font, const QString& text, const char* name)
{
    QFontMetrics metrics(font);
    for (char32_t character : text.toUcs4())
        EXPECT_TRUE(metrics.inFontUcs4(character))
            << name << ": U+" << std::hex << static_cast<unsigned>(character) << " missing from "
            << QFontInfo(font).family().toStdString();
}

TEST(MainWindowLayout, WindowHasItsCaptionFixedSizeAndPlace)
{
    MainWindow window;
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Corvelle 3.0    by Ambrin   "));
    EXPECT_EQ(window.size(), QSize(760, 628));
    EXPECT_EQ(window.minimumSize(), QSize(760, 628));
    EXPECT_EQ(window.maximumSize(), QSize(760, 628));
    EXPECT_EQ(window.pos(), QPoint(50, 50));
}

TEST(MainWindowLayout, EveryLabelHasItsPlaceTextAndFont)
{
    MainWindow window;
    for (const ControlLayout& layout : kLabels) {
        auto* label = window.findChild<ClickLabel*>(QString::fromUtf8(layout.name));
        ASSERT_NE(label, nullptr) << layout.name;
        EXPECT_EQ(window.label(layout.name), label) << layout.name;
        EXPECT_EQ(label->geometry(), layout.geometry) << layout.name;
        EXPECT_EQ(label->text(), QString::fromUtf8(layout.text)) << layout.name;
        if (layout.pixelSize > 0) {
            EXPECT_EQ(label->font().pixelSize(), layout.pixelSize) << layout.name;
            EXPECT_EQ(QFontInfo(label->font()).pixelSize(), layout.pixelSize) << layout.name;
            EXPECT_EQ(label->font().bold(), layout.bold) << layout.name;
            EXPECT_EQ(label->font().families().value(0), QString::fromUtf8("微软雅黑")) << layout.name;
        } else {
            EXPECT_EQ(label->font(), QApplication::font()) << layout.name << ": the system's default font";
        }
        expectDrawable(label->font(), label->text(), layout.name);
    }
    EXPECT_EQ(window.label("标签_说明"), nullptr);
}

TEST(MainWindowLayout, TypedAccessorsReachTheNamedControls)
{
    MainWindow window;
    const std::pair<ClickLabel*, const char*> labels[] = {
        {window.inputCaptionLabel(), "标签_输入"},    {window.codeCaptionLabel(), "标签_股票代码"},
        {window.nameCaptionLabel(), "标签_股票名称"}, {window.priceLabel(), "标签_股票价格"},
        {window.ratioLabel(), "标签_持仓比例"},       {window.repeatCountLabel(), "标签_重复次数"},
        {window.analyseLabel(), "标签_分析"},         {window.progressLabel(), "标签_进度"},
        {window.exportLabel(), "标签_导出"},          {window.themeLabel(), "标签_颜色切换"},
        {window.aboutLabel(), "标签_关于"},
    };
    for (const auto& [label, name] : labels)
        EXPECT_EQ(label->objectName(), QString::fromUtf8(name));
    EXPECT_EQ(window.codeBox(), window.findChild<QPlainTextEdit*>(QString::fromUtf8("编辑框_代码")));
    EXPECT_EQ(window.resultsList(), window.findChild<QTreeWidget*>(QString::fromUtf8("超级列表框1")));
}

TEST(MainWindowLayout, CodeBoxIsABoldMultiLineEditHoldingTheSampleCodes)
{
    MainWindow window;
    QPlainTextEdit* box = window.codeBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->geometry(), QRect(24, 56, 128, 480));
    EXPECT_EQ(box->font().pixelSize(), 20);
    EXPECT_TRUE(box->font().bold());
    EXPECT_EQ(editBoxText(box), "481010\r\n002264");
    expectDrawable(box->font(), QStringLiteral("0123456789"), "编辑框_代码");
}

TEST(MainWindowLayout, ResultsListIsAFiveColumnReportWithoutHeaderStrip)
{
    MainWindow window;
    QTreeWidget* list = window.resultsList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->geometry(), QRect(176, 56, 560, 480));
    EXPECT_EQ(list->font().pixelSize(), 19);
    EXPECT_FALSE(list->font().bold());

    const std::pair<const char*, int> columns[] = {
        {"股票代码", 100}, {"股票名称", 130}, {"股票价格", 120}, {"持仓比例", 120}, {"出现次数", 70}};
    ASSERT_EQ(columnCount(list), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(list->headerItem()->text(i), QString::fromUtf8(columns[i].first)) << i;
        EXPECT_EQ(list->columnWidth(i), columns[i].second) << i;
    }
    EXPECT_TRUE(list->isHeaderHidden());
    EXPECT_FALSE(list->rootIsDecorated());
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(list->isSortingEnabled());
    EXPECT_TRUE(list->uniformRowHeights());
    expectDrawable(list->font(), QString::fromUtf8("贵州茅台腾讯控股宁德时代"), "超级列表框1");
}

TEST(WindowCreated, EmptiesTheCodeBoxTheListAndTheProgressLabel)
{
    testing::TempDir folder;
    testing::WorkingDirectory inFolder(folder.path());
    MainWindow window;
    appendEmptyRow(window.resultsList());
    setControlText(window.progressLabel(), "50 %");

    ThemeState theme;
    windowCreated(window, theme);

    EXPECT_EQ(editBoxText(window.codeBox()), "");
    EXPECT_EQ(rowCount(window.resultsList()), 0);
    EXPECT_EQ(window.progressLabel()->text(), QString());
    EXPECT_EQ(columnCount(window.resultsList()), 5) << "emptying keeps the columns";
}

class LabelMouse : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    }

    MainWindow m_window;
    ClickLabel* m_label = m_window.analyseLabel();
    QSignalSpy m_pressed{m_label, &ClickLabel::pressed};
    QSignalSpy m_released{m_label, &ClickLabel::released};
    QSignalSpy m_doubleClicked{m_label, &ClickLabel::doubleClicked};
};

TEST_F(LabelMouse, LeftClickGivesPressThenRelease)
{
    std::vector<const char*> order;
    QObject::connect(m_label, &ClickLabel::pressed, [&order] { order.push_back("pressed"); });
    QObject::connect(m_label, &ClickLabel::released, [&order] { order.push_back("released"); });
    QTest::mouseClick(m_label, Qt::LeftButton);
    EXPECT_EQ(order, (std::vector<const char*>{"pressed", "released"}));
    EXPECT_EQ(m_doubleClicked.count(), 0);
}

TEST_F(LabelMouse, ReleaseAfterDraggingOffTheLabelIsNotReported)
{
    QTest::mousePress(m_label, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(m_label, Qt::LeftButton, {}, QPoint(m_label->width() + 20, 10));
    EXPECT_EQ(m_pressed.count(), 1);
    EXPECT_EQ(m_released.count(), 0);
}

TEST_F(LabelMouse, RightButtonIsIgnored)
{
    QTest::mouseClick(m_label, Qt::RightButton);
    QTest::mouseDClick(m_label, Qt::RightButton);
    EXPECT_EQ(m_pressed.count(), 0);
    EXPECT_EQ(m_released.count(), 0);
    EXPECT_EQ(m_doubleClicked.count(), 0);
}

TEST_F(LabelMouse, DoubleClickIsReportedOnce)
{
    QTest::mouseDClick(m_label, Qt::LeftButton);
    EXPECT_EQ(m_doubleClicked.count(), 1);
    EXPECT_GE(m_pressed.count(), 1);
}

TEST(ResultsListMouse, DoubleClickOnARowIsReported)
{
    MainWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTreeWidget* list = window.resultsList();
    appendEmptyRow(list);
    setCellText(list, 0, 1, "row");
    QSignalSpy doubleClicked(&window, &MainWindow::resultsListDoubleClicked);

    QRect row = list->visualItemRect(list->topLevelItem(0));
    // QTest's double-click carries only the second press; the first click comes before it.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(doubleClicked.count(), 1);
    EXPECT_EQ(currentSelection(list), 0);
}

TEST(MainWindowClose, AboutToCloseIsEmittedOnceWithReceiversInConnectionOrder)
{
    MainWindow window;
    window.show();
    std::vector<int> calls;
    QObject::connect(&window, &MainWindow::aboutToClose, [&calls] { calls.push_back(1); });
    QObject::connect(&window, &MainWindow::aboutToClose, [&calls] { calls.push_back(2); });
    EXPECT_TRUE(window.close());
    window.close();
    EXPECT_EQ(calls, (std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace corvelle::app

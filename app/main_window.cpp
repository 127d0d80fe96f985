// The main window's layout: place, size, text and font of every control.
#include "app/main_window.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTreeWidget>

#include <array>

namespace corvelle::app {

namespace {

constexpr int kTextPixels = 19;
constexpr int kBoldPixels = 20;
constexpr Qt::Alignment kCaptionAlignment = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kButtonAlignment = Qt::AlignCenter;

struct ColumnSpec {
    const char* title;
    int width;
};

constexpr std::array<ColumnSpec, 5> kColumns{{
    {"股票代码", 100},
    {"股票名称", 130},
    {"股票价格", 120},
    {"持仓比例", 120},
    {"出现次数", 70},
}};

}  // namespace

QFont layoutFont(int pixelSize, bool bold)
{
    QFont font;
    font.setFamilies({QString::fromUtf8("微软雅黑"), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Source Han Sans SC"), QStringLiteral("Droid Sans Fallback")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

MainWindow::MainWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QString::fromUtf8("Corvelle 3.0    by Ambrin   "));
    setFixedSize(760, 628);
    move(50, 50);

    m_inputCaption =
        addLabel("标签_输入", {14, 16, 144, 32}, "输入基金代码", kTextPixels, false, kCaptionAlignment);
    m_codeCaption =
        addLabel("标签_股票代码", {173, 16, 88, 32}, "股票代码", kTextPixels, false, kCaptionAlignment);
    m_nameCaption =
        addLabel("标签_股票名称", {275, 16, 103, 32}, "股票名称", kTextPixels, false, kCaptionAlignment);
    m_price = addLabel("标签_股票价格", {392, 16, 103, 32}, "价格▼", kTextPixels, false, kButtonAlignment);
    m_ratio =
        addLabel("标签_持仓比例", {504, 16, 110, 32}, "持仓比例▼", kTextPixels, false, kButtonAlignment);
    m_repeatCount =
        addLabel("标签_重复次数", {624, 16, 110, 32}, "重复次数▼", kTextPixels, false, kButtonAlignment);

    m_codeBox = new QPlainTextEdit(this);
    m_codeBox->setObjectName(QString::fromUtf8("编辑框_代码"));
    m_codeBox->setGeometry(24, 56, 128, 480);
    m_codeBox->setFont(layoutFont(kBoldPixels, true));
    m_codeBox->setPlainText(QStringLiteral("481010\n002264"));

    m_resultsList = new QTreeWidget(this);
    m_resultsList->setObjectName(QString::fromUtf8("超级列表框1"));
    m_resultsList->setGeometry(176, 56, 560, 480);
    m_resultsList->setFont(layoutFont(kTextPixels));
    m_resultsList->setColumnCount(static_cast<int>(kColumns.size()));
    QStringList titles;
    for (const ColumnSpec& column : kColumns)
        titles << QString::fromUtf8(column.title);
    m_resultsList->setHeaderLabels(titles);
    for (int i = 0; i < static_cast<int>(kColumns.size()); ++i)
        m_resultsList->setColumnWidth(i, kColumns[static_cast<std::size_t>(i)].width);
    m_resultsList->header()->setStretchLastSection(false);
    m_resultsList->setHeaderHidden(true);
    m_resultsList->setRootIsDecorated(false);
    m_resultsList->setItemsExpandable(false);
    m_resultsList->setIndentation(0);
    m_resultsList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_resultsList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_resultsList->setAllColumnsShowFocus(true);
    m_resultsList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_resultsList->setSortingEnabled(false);
    m_resultsList->setUniformRowHeights(true);
    connect(m_resultsList, &QTreeWidget::itemDoubleClicked, this,
            [this] { emit resultsListDoubleClicked(); });

    m_analyse = addLabel("标签_分析", {24, 546, 128, 40}, "分析", kBoldPixels, true, kButtonAlignment);
    m_progress = addLabel("标签_进度", {177, 546, 335, 40}, "", kTextPixels, false, kCaptionAlignment);
    m_export = addLabel("标签_导出", {528, 554, 64, 32}, "导出", kTextPixels, false, kButtonAlignment);
    m_theme = addLabel("标签_颜色切换", {611, 554, 32, 32}, "★", 0, false, kButtonAlignment);
    m_about = addLabel("标签_关于", {654, 549, 80, 40}, "关于", kTextPixels, false, kButtonAlignment);
}

ClickLabel* MainWindow::addLabel(const char* layoutName, const QRect& geometry, const char* text,
                                 int pixelSize, bool bold, Qt::Alignment alignment)
{
    auto* label = new ClickLabel(this);
    label->setObjectName(QString::fromUtf8(layoutName));
    label->setGeometry(geometry);
    label->setTextFormat(Qt::PlainText);
    label->setText(QString::fromUtf8(text));
    label->setAlignment(alignment);
    if (pixelSize > 0)  // 0: the system's default font, as the ★ label has
        label->setFont(layoutFont(pixelSize, bold));
    return label;
}

ClickLabel* MainWindow::label(const char* layoutName) const
{
    return findChild<ClickLabel*>(QString::fromUtf8(layoutName), Qt::FindDirectChildrenOnly);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!m_closing) {
        m_closing = true;
        emit aboutToClose();
    }
    event->accept();
}

}  // namespace corvelle::app

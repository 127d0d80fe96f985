// MainWindow: the program's one main window with its labels, code box and results list.
#pragma once

#include "app/click_label.h"

#include <QWidget>

class QCloseEvent;
class QPlainTextEdit;
class QTreeWidget;

namespace corvelle::app {

// The window and its controls, each under its layout name as objectName. The window itself knows no
// handler: the program connects the labels' signals and aboutToClose to the work they start.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);

    // A label by its layout name ("标签_分析", ...); nullptr for any other name.
    [[nodiscard]] ClickLabel* label(const char* layoutName) const;

    [[nodiscard]] ClickLabel* inputCaptionLabel() const { return m_inputCaption; }  // 标签_输入
    [[nodiscard]] ClickLabel* codeCaptionLabel() const { return m_codeCaption; }    // 标签_股票代码
    [[nodiscard]] ClickLabel* nameCaptionLabel() const { return m_nameCaption; }    // 标签_股票名称
    [[nodiscard]] ClickLabel* priceLabel() const { return m_price; }                // 标签_股票价格
    [[nodiscard]] ClickLabel* ratioLabel() const { return m_ratio; }                // 标签_持仓比例
    [[nodiscard]] ClickLabel* repeatCountLabel() const { return m_repeatCount; }    // 标签_重复次数
    [[nodiscard]] ClickLabel* analyseLabel() const { return m_analyse; }            // 标签_分析
    [[nodiscard]] ClickLabel* progressLabel() const { return m_progress; }          // 标签_进度
    [[nodiscard]] ClickLabel* exportLabel() const { return m_export; }              // 标签_导出
    [[nodiscard]] ClickLabel* themeLabel() const { return m_theme; }                // 标签_颜色切换
    [[nodiscard]] ClickLabel* aboutLabel() const { return m_about; }                // 标签_关于
    [[nodiscard]] QPlainTextEdit* codeBox() const { return m_codeBox; }             // 编辑框_代码
    [[nodiscard]] QTreeWidget* resultsList() const { return m_resultsList; }        // 超级列表框1

signals:
    // The window is closing, once. Receivers run in the order they were connected, all before the
    // window goes away.
    void aboutToClose();
    // A double-click of the left button on a row of the results list.
    void resultsListDoubleClicked();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ClickLabel* addLabel(const char* layoutName, const QRect& geometry, const char* text, int pixelSize,
                         bool bold, Qt::Alignment alignment);

    ClickLabel* m_inputCaption = nullptr;
    ClickLabel* m_codeCaption = nullptr;
    ClickLabel* m_nameCaption = nullptr;
    ClickLabel* m_price = nullptr;
    ClickLabel* m_ratio = nullptr;
    ClickLabel* m_repeatCount = nullptr;
    ClickLabel* m_analyse = nullptr;
    ClickLabel* m_progress = nullptr;
    ClickLabel* m_export = nullptr;
    ClickLabel* m_theme = nullptr;
    ClickLabel* m_about = nullptr;
    QPlainTextEdit* m_codeBox = nullptr;
    QTreeWidget* m_resultsList = nullptr;
    bool m_closing = false;
};

// The layout's typeface at a character height in pixels: 微软雅黑 where installed, else a CJK face
// that Linux has, so Chinese never shows as empty boxes.
[[nodiscard]] QFont layoutFont(int pixelSize, bool bold = false);

}  // namespace corvelle::app

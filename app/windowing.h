// The windowing services the program's logic uses, over Qt Widgets. GBK texts cross into Qt here and
// nowhere else.
#pragma once

#include <QColor>
#include <QString>

#include <functional>
#include <string>

class QLabel;
class QPlainTextEdit;
class QTreeWidget;
class QWidget;

namespace corvelle::app {

// GBK bytes to a QString and back; characters GBK cannot hold become "?".
[[nodiscard]] QString toQString(const std::string& gbk);
[[nodiscard]] std::string toGbk(const QString& text);

// A 0x00BBGGRR colour value (red in the lowest byte) as a QColor.
[[nodiscard]] QColor colourFromBgr(unsigned int bgr);

// Label and edit box texts.
void setControlText(QLabel* label, const std::string& gbk);
void setControlText(QPlainTextEdit* edit, const std::string& gbk);
// The edit box's whole text with CR LF between lines, as a platform edit box returns it.
[[nodiscard]] std::string editBoxText(const QPlainTextEdit* edit);

// The report list. Rows and columns count from 0.
void deleteAllRows(QTreeWidget* list);
void appendEmptyRow(QTreeWidget* list);
void setCellText(QTreeWidget* list, int row, int column, const std::string& gbk);
[[nodiscard]] int rowCount(const QTreeWidget* list);
[[nodiscard]] int columnCount(const QTreeWidget* list);
[[nodiscard]] std::string cellText(const QTreeWidget* list, int row, int column);
[[nodiscard]] std::string columnTitle(const QTreeWidget* list, int column);
// The first selected row, or -1 when none is selected.
[[nodiscard]] int currentSelection(const QTreeWidget* list);

// Colours: background (and for labels and edit boxes the text colour) take effect at once.
void setBackgroundColour(QWidget* widget, unsigned int bgr);
void setTextColour(QWidget* widget, unsigned int bgr);
// The report list's background behind item texts.
void setTextBackgroundColour(QTreeWidget* list, unsigned int bgr);

// The program's message box: caption "信息：", one OK button, modal; returns when closed. Tests may
// replace what it shows with setMessageBoxHandler (an empty function restores the real box).
void showMessage(const std::string& gbkText);
void setMessageBoxHandler(std::function<void(const std::string& gbkText)> handler);

// Opens an address with the system's default handler; the result is not examined.
void openWebAddress(const std::string& address);
void setWebAddressHandler(std::function<void(const std::string& address)> handler);

}  // namespace corvelle::app

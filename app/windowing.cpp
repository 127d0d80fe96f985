// The windowing services over Qt Widgets.
#include "app/windowing.h"

#include "collect/charset.h"

#include <QAbstractScrollArea>
#include <QBrush>
#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QUrl>
#include <QVariant>

#include <utility>

namespace corvelle::app {

namespace {

// The report list keeps its text background here, so rows appended later get it too.
constexpr char kTextBackgroundProperty[] = "corvelleTextBackground";

std::function<void(const std::string&)>& messageBoxHandler()
{
    static std::function<void(const std::string&)> handler;
    return handler;
}

std::function<void(const std::string&)>& webAddressHandler()
{
    static std::function<void(const std::string&)> handler;
    return handler;
}

QTreeWidgetItem* itemAt(const QTreeWidget* list, int row, int column)
{
    if (column < 0 || column >= list->columnCount())
        return nullptr;
    return list->topLevelItem(row);
}

void paintTextBackground(QTreeWidgetItem* item, const QBrush& brush, int columns)
{
    for (int column = 0; column < columns; ++column)
        item->setBackground(column, brush);
}

// Edit boxes and lists paint their fields with the Base and Text roles, everything else with Window and
// WindowText.
bool paintsField(const QWidget* widget)
{
    return qobject_cast<const QAbstractScrollArea*>(widget) != nullptr;
}

void setPaletteColour(QWidget* widget, QPalette::ColorRole role, unsigned int bgr)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colourFromBgr(bgr));
    widget->setPalette(palette);
}

}  // namespace

QString toQString(const std::string& gbk)
{
    return QString::fromStdString(collect::gbkToUtf8(gbk));
}

std::string toGbk(const QString& text)
{
    return collect::utf8ToGbk(text.toStdString());
}

QColor colourFromBgr(unsigned int bgr)
{
    return QColor(static_cast<int>(bgr & 0xFFU), static_cast<int>((bgr >> 8) & 0xFFU),
                  static_cast<int>((bgr >> 16) & 0xFFU));
}

void setControlText(QLabel* label, const std::string& gbk)
{
    label->setTextFormat(Qt::PlainText);  // a text from a web page must never be read as markup
    label->setText(toQString(gbk));
}

void setControlText(QPlainTextEdit* edit, const std::string& gbk)
{
    QString text = toQString(gbk);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    edit->setPlainText(text);
}

std::string editBoxText(const QPlainTextEdit* edit)
{
    QString text = edit->toPlainText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return toGbk(text);
}

void deleteAllRows(QTreeWidget* list)
{
    list->clear();
}

void appendEmptyRow(QTreeWidget* list)
{
    auto* item = new QTreeWidgetItem(list);  // owned by the list
    QVariant textBackground = list->property(kTextBackgroundProperty);
    if (textBackground.isValid())
        paintTextBackground(item, QBrush(textBackground.value<QColor>()), list->columnCount());
}

void setCellText(QTreeWidget* list, int row, int column, const std::string& gbk)
{
    if (QTreeWidgetItem* item = itemAt(list, row, column))
        item->setText(column, toQString(gbk));
}

int rowCount(const QTreeWidget* list)
{
    return list->topLevelItemCount();
}

int columnCount(const QTreeWidget* list)
{
    return list->columnCount();
}

std::string cellText(const QTreeWidget* list, int row, int column)
{
    const QTreeWidgetItem* item = itemAt(list, row, column);
    return item ? toGbk(item->text(column)) : std::string();
}

std::string columnTitle(const QTreeWidget* list, int column)
{
    if (column < 0 || column >= list->columnCount())
        return {};
    return toGbk(list->headerItem()->text(column));
}

int currentSelection(const QTreeWidget* list)
{
    int first = -1;
    for (QTreeWidgetItem* item : list->selectedItems()) {
        int row = list->indexOfTopLevelItem(item);
        if (row >= 0 && (first < 0 || row < first))
            first = row;
    }
    return first;
}

void setBackgroundColour(QWidget* widget, unsigned int bgr)
{
    if (paintsField(widget)) {
        setPaletteColour(widget, QPalette::Base, bgr);
        return;
    }
    setPaletteColour(widget, QPalette::Window, bgr);
    widget->setAutoFillBackground(true);
}

void setTextColour(QWidget* widget, unsigned int bgr)
{
    setPaletteColour(widget, paintsField(widget) ? QPalette::Text : QPalette::WindowText, bgr);
}

void setTextBackgroundColour(QTreeWidget* list, unsigned int bgr)
{
    QColor colour = colourFromBgr(bgr);
    list->setProperty(kTextBackgroundProperty, colour);
    QBrush brush(colour);
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        paintTextBackground(list->topLevelItem(row), brush, list->columnCount());
}

void showMessage(const std::string& gbkText)
{
    if (messageBoxHandler()) {
        messageBoxHandler()(gbkText);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8("信息："), toQString(gbkText), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void setMessageBoxHandler(std::function<void(const std::string& gbkText)> handler)
{
    messageBoxHandler() = std::move(handler);
}

void openWebAddress(const std::string& address)
{
    if (webAddressHandler()) {
        webAddressHandler()(address);
        return;
    }
    // Whatever the caller checked, the browser is never handed anything but a web address.
    QUrl url(toQString(address));
    QString scheme = url.scheme().toLower();
    if (url.isValid() && !url.host().isEmpty() &&
        (scheme == QStringLiteral("http") || scheme == QStringLiteral("https")))
        QDesktopServices::openUrl(url);
}

void setWebAddressHandler(std::function<void(const std::string& address)> handler)
{
    webAddressHandler() = std::move(handler);
}

}  // namespace corvelle::app

// ClickLabel's mouse handling.
#include "app/click_label.h"

#include <QMouseEvent>

namespace corvelle::app {

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        event->accept();
        emit pressed();
        return;
    }
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        event->accept();
        if (rect().contains(event->position().toPoint()))
            emit released();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        event->accept();
        emit pressed();
        emit doubleClicked();
        return;
    }
    QLabel::mouseDoubleClickEvent(event);
}

}  // namespace corvelle::app

// ClickLabel: a label that reports the left mouse button, as the program's labels act as buttons.
#pragma once

#include <QLabel>

namespace corvelle::app {

class ClickLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    // The left button went down over the label. The second press of a double-click counts too.
    void pressed();
    // The left button came up over the label (not when the pointer was dragged off it first).
    void released();
    // A double-click of the left button, reported after the press it also counts as.
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace corvelle::app

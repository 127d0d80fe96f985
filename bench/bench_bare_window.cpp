// A bare Qt window of the main window's size, shown the same way: the yardstick for cold start.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.setGeometry(50, 50, 760, 628);
    window.show();
    return app.exec();
}

// The yardstick for Zorvane's start-up: the least a Qt Widgets program does to
// show a window. With ZORVANE_QUIT_AFTER_FIRST_PAINT set it reports its first
// paint and quits, as Zorvane does.

#include "gui/mainwindow/FirstPaintProbe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(440, 280);
    FirstPaintProbe::watch(&window);
    window.show();
    return app.exec();
}

#include "gui/Application.h"
#include "gui/mainwindow/FirstPaintProbe.h"
#include "gui/mainwindow/MainWindow.h"

#include <QTimer>

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    MainWindow window;
    FirstPaintProbe::watch(&window);
    // The start runs inside the event loop, so a run that ends by
    // closing every window also ends the program.
    QTimer::singleShot(0, &window, [&window, &app] { window.start(app.archiveArguments()); });
    return app.exec();
}

#include "gui/Application.h"
#include "gui/mainwindow/FirstPaintProbe.h"
#include "gui/mainwindow/MainWindow.h"

#include <QTimer>

int main(int argc, char* argv[])
{
    if (const int status = Application::answerBeforeStart(argc, argv); status >= 0)
        return status;
    Application app(argc, argv);
    if (app.options().action() != LaunchOptions::Action::Run)
        return app.options().respond();
    MainWindow window;
    FirstPaintProbe::watch(&window);
    // The start runs inside the event loop, so a run that ends by
    // closing every window also ends the program.
    QTimer::singleShot(0, &window, [&window, &app] { window.launch(app.options()); });
    return app.exec();
}

#include "gui/Application.h"

#include "Version.h"
#include "core/util/PathText.h"
#include "gui/widgets/Artwork.h"
#include "platform/Utf8Locale.h"

#include <QPointer>
#include <QWidget>

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
    , m_options(LaunchOptions::parse(PathText::fromArguments(argc, argv), LaunchOptions::QtOptions::Removed))
{
    setNames();
    // Every window without an icon of its own shows the program's.
    setWindowIcon(Artwork::programIcon());
    setDesktopFileName(QStringLiteral("zorvane"));
    // QApplication has just set the locale from the environment; fix the
    // character set after it, or it would undo the switch.
    Utf8Locale::ensure();
}

int Application::answerBeforeStart(int argc, char** argv)
{
    const LaunchOptions options =
        LaunchOptions::parse(PathText::fromArguments(argc, argv), LaunchOptions::QtOptions::Present);
    if (options.action() == LaunchOptions::Action::Run)
        return -1;
    // Needs no display; the help names the program as it was called.
    QCoreApplication core(argc, argv);
    setNames();
    return options.respond();
}

void Application::setNames()
{
    setApplicationName(QString::fromUtf8(Version::ProductName));
    setOrganizationName(QString::fromUtf8(Version::Publisher));
    setApplicationVersion(QString::fromUtf8(Version::Text));
}

// Qt ends the program when its last visible window closes; a window hidden in
// the notification area is never counted as closing, so the end is ours.
void Application::closeEveryWindow()
{
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->windowType() != Qt::Popup)
            windows.append(window);
    }
    // A window's close handling may take other windows with it.
    bool allClosed = true;
    for (const QPointer<QWidget>& window : windows) {
        if (window && !window->close())
            allClosed = false;
    }
    if (allClosed && QGuiApplication::quitOnLastWindowClosed())
        QCoreApplication::quit();
}

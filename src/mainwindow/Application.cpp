#include "mainwindow/Application.h"

#include "Version.h"
#include "mainwindow/modArtwork.h"
#include "settings/modLocale.h"
#include "settings/modVbCmdLine.h"

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QString::fromUtf8(Version::ProductName));
    setOrganizationName(QString::fromUtf8(Version::Publisher));
    setApplicationVersion(QString::fromUtf8(Version::Text));
    // Every window without an icon of its own shows the program's.
    setWindowIcon(modArtwork::ProgramIcon());
    setDesktopFileName(QStringLiteral("zorvane"));
    // QApplication has just set the locale from the environment; fix the
    // character set after it, or it would undo the switch.
    modLocale::EnsureUtf8Locale();
}

QString Application::ArgumentText()
{
    return modVbCmdLine::JoinArguments(arguments().mid(1));
}

#pragma once

#include <QApplication>
#include <QStringList>

// The program's application object: its names and version, and a UTF-8 locale
// for the archive library from the first moment on.
class Application : public QApplication
{
    Q_OBJECT

public:
    Application(int& argc, char** argv);

    // The archives of the command line, each argument exactly as given (Qt's
    // own options taken out); see PathText for names that are not UTF-8.
    QStringList archiveArguments() const { return m_archiveArguments; }

    // Closes every window of the program, hidden ones too (the main window in
    // the notification area), and ends the program once all of them closed.
    static void closeEveryWindow();

private:
    QStringList m_archiveArguments;
};

#pragma once

#include "core/util/LaunchOptions.h"

#include <QApplication>

// The program's application object: its names and version, and a UTF-8 locale
// for the archive library from the first moment on.
class Application : public QApplication
{
    Q_OBJECT

public:
    Application(int& argc, char** argv);

    // Answers --help, --version and mistakes in the options before Qt looks
    // for a display, so they work in any terminal. -1: go on and start.
    static int answerBeforeStart(int argc, char** argv);

    // The command line, Qt's own options taken out; each archive exactly as
    // given (see PathText for names that are not UTF-8).
    const LaunchOptions& options() const { return m_options; }

    // Closes every window of the program, hidden ones too (the main window in
    // the notification area), and ends the program once all of them closed.
    static void closeEveryWindow();

private:
    static void setNames();

    LaunchOptions m_options;
};

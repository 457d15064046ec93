#pragma once

#include <QApplication>

// The program's application object: its names and version, and a UTF-8 locale
// for the archive library from the first moment on.
class Application : public QApplication
{
    Q_OBJECT

public:
    Application(int& argc, char** argv);

    // The command line after the program's own path, rebuilt as one text.
    static QString ArgumentText();
};

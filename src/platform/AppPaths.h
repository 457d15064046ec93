#pragma once

#include <QString>

// Where the program and the files that belong beside it are.
namespace AppPaths {

// The program's folder, ending with "/".
QString programFolder();
// The program file's full path.
QString programFile();
// The folder of the tips file and the help pages, ending with "/": the
// program's folder when they lie beside it (the build tree), else the data
// folder of the installed program (<prefix>/share/zorvane/).
QString dataFolder();
// The folder for files the program keeps "in its folder": the program's folder
// when the context-menu extension lies there too and it may write there, else
// $XDG_DATA_HOME/zorvane/ (created when missing). Ends with "/".
QString writableProgramFolder();
// The context-menu extension library: beside the program when it is there,
// else where the install puts it (<prefix>/lib/.../zorvane/).
QString shellExtensionLibrary();

} // namespace AppPaths

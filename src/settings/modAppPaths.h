#pragma once

#include <QString>

// Where the program and the files that belong beside it are.
namespace modAppPaths {

// The program's folder, ending with "/".
QString ProgramFolder();
// The program file's full path.
QString ProgramFile();
// The folder for files the program keeps "in its folder": the program's folder
// when it may write there, else $XDG_DATA_HOME/zorvane/ (created when missing).
// Ends with "/".
QString WritableProgramFolder();
// The context-menu extension library, beside the program.
QString ShellExtensionLibrary();

} // namespace modAppPaths

#pragma once

#include <QString>

// Component self-registration: a library that knows how to install itself
// exports DllRegisterServer and DllUnregisterServer, and the program only asks
// it to run one of them.
namespace ExtensionRegistration {

// Loads the library at libraryPath and runs its DllRegisterServer entry
// (DllUnregisterServer when registering is false) in a child process, waiting at
// most 10 seconds. True when the entry ran to its end in time, whatever it
// returned; false at once when the library or the entry cannot be found, and
// after 10 seconds when the entry is still running (the child is then killed).
bool run(const QString& libraryPath, bool registering);

} // namespace ExtensionRegistration

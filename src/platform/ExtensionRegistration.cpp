#include "platform/ExtensionRegistration.h"

#include "core/util/BoundedChild.h"

#include <QFile>
#include <dlfcn.h>
#include <memory>

namespace ExtensionRegistration {

namespace {

using EntryPoint = long (*)();

constexpr auto TimeLimit = std::chrono::seconds(10);

struct LibraryCloser
{
    void operator()(void* handle) const { dlclose(handle); }
};
using Library = std::unique_ptr<void, LibraryCloser>;

} // namespace

bool run(const QString& libraryPath, bool registering)
{
    // An empty name would make the loader hand back the program itself.
    if (libraryPath.isEmpty())
        return false;
    const Library library(dlopen(QFile::encodeName(libraryPath).constData(), RTLD_NOW | RTLD_LOCAL));
    if (!library)
        return false;
    const auto entry =
        reinterpret_cast<EntryPoint>(dlsym(library.get(), registering ? "DllRegisterServer" : "DllUnregisterServer"));
    if (!entry)
        return false;
    // The library is unloaded on return, once the child running its entry is gone.
    return BoundedChild::runInChild([entry] { entry(); }, TimeLimit) == BoundedChild::Outcome::Returned;
}

} // namespace ExtensionRegistration

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

bool RegisterLibrary(const QString& LibraryPath, bool Register)
{
    // An empty name would make the loader hand back the program itself.
    if (LibraryPath.isEmpty())
        return false;
    const Library library(dlopen(QFile::encodeName(LibraryPath).constData(), RTLD_NOW | RTLD_LOCAL));
    if (!library)
        return false;
    const auto entry =
        reinterpret_cast<EntryPoint>(dlsym(library.get(), Register ? "DllRegisterServer" : "DllUnregisterServer"));
    if (!entry)
        return false;
    // The library is unloaded on return, once the child running its entry is gone.
    return BoundedChild::RunInChild([entry] { entry(); }, TimeLimit) == BoundedChild::Outcome::Returned;
}

} // namespace ExtensionRegistration

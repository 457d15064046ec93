// The context-menu extension's self-registration entries. The program writes
// "Menuweave.ini" and asks this library to register itself; registering turns
// the file's items into entries of the file managers' context menus for RAR
// files, in the user's own folders, and unregistering takes them away again.
// It runs in a child process of the program, so it uses nothing but the
// standard library and the C library.

#include "shellext/DolphinServiceMenu.h"
#include "shellext/MenuIni.h"
#include "shellext/NautilusScripts.h"
#include "shellext/NemoActions.h"
#include "shellext/ThunarActions.h"
#include "shellext/UserFiles.h"

#include <cstdint>
#include <dlfcn.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using MenuIni::MenuItem;

// The results of the self-registration convention: S_OK, E_FAIL, and "file not found".
constexpr long kOk = 0;
constexpr long kFailed = static_cast<std::int32_t>(0x80004005u);
constexpr long kNoConfiguration = static_cast<std::int32_t>(0x80070002u);

constexpr const char* kConfigName = "Menuweave.ini";

// Any object of the library will do to ask the loader where the library is.
const int kAnchor = 0;

std::string LibraryFolder()
{
    Dl_info info{};
    if (dladdr(&kAnchor, &info) == 0 || !info.dli_fname)
        return {};
    const std::string path = info.dli_fname;
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Beside the library, where a program that shares its folder (the build tree)
// writes it; an installed program writes it to the user's data folder.
std::string ConfigPath()
{
    const std::string besideLibrary = LibraryFolder() + "/" + kConfigName;
    if (::access(besideLibrary.c_str(), R_OK) == 0)
        return besideLibrary;
    return UserFiles::DataHome() + "/zorvane/" + kConfigName;
}

// Every file manager is brought up to date even when one of them fails.
bool SyncAll(const std::vector<MenuItem>& items)
{
    bool ok = DolphinServiceMenu::Sync(items);
    ok = NautilusScripts::Sync(items) && ok;
    ok = NemoActions::Sync(items) && ok;
    ok = ThunarActions::Sync(items) && ok;
    return ok;
}

long Register()
{
    const auto items = MenuIni::ReadMenuIni(ConfigPath());
    if (!items)
        return kNoConfiguration;
    return SyncAll(MenuIni::InstallableItems(*items)) ? kOk : kFailed;
}

} // namespace

extern "C" __attribute__((visibility("default"))) long DllRegisterServer(void)
{
    try {
        return Register();
    } catch (...) {
        return kFailed;
    }
}

extern "C" __attribute__((visibility("default"))) long DllUnregisterServer(void)
{
    try {
        return SyncAll({}) ? kOk : kFailed;
    } catch (...) {
        return kFailed;
    }
}

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
constexpr long ResultOk = 0;
constexpr long ResultFailed = static_cast<std::int32_t>(0x80004005u);
constexpr long ResultNoConfiguration = static_cast<std::int32_t>(0x80070002u);

constexpr const char* ConfigFileName = "Menuweave.ini";

// Any object of the library will do to ask the loader where the library is.
const int Anchor = 0;

std::string libraryFolder()
{
    Dl_info info{};
    if (dladdr(&Anchor, &info) == 0 || !info.dli_fname)
        return {};
    const std::string path = info.dli_fname;
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Beside the library, where a program that shares its folder (the build tree)
// writes it; an installed program writes it to the user's data folder.
std::string configPath()
{
    const std::string besideLibrary = libraryFolder() + "/" + ConfigFileName;
    if (::access(besideLibrary.c_str(), R_OK) == 0)
        return besideLibrary;
    return UserFiles::dataHome() + "/zorvane/" + ConfigFileName;
}

// Every file manager is brought up to date even when one of them fails.
bool syncAll(const std::vector<MenuItem>& items)
{
    bool ok = DolphinServiceMenu::sync(items);
    ok = NautilusScripts::sync(items) && ok;
    ok = NemoActions::sync(items) && ok;
    ok = ThunarActions::sync(items) && ok;
    return ok;
}

long registerMenus()
{
    const auto items = MenuIni::read(configPath());
    if (!items)
        return ResultNoConfiguration;
    return syncAll(MenuIni::installableItems(*items)) ? ResultOk : ResultFailed;
}

} // namespace

extern "C" __attribute__((visibility("default"))) long DllRegisterServer(void)
{
    try {
        return registerMenus();
    } catch (...) {
        return ResultFailed;
    }
}

extern "C" __attribute__((visibility("default"))) long DllUnregisterServer(void)
{
    try {
        return syncAll({}) ? ResultOk : ResultFailed;
    } catch (...) {
        return ResultFailed;
    }
}

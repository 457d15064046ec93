#include "shellext/DolphinServiceMenu.h"

#include "shellext/MenuText.h"
#include "shellext/UserFiles.h"

#include <array>
#include <string>

namespace DolphinServiceMenu {

namespace {

using MenuIni::MenuItem;
using namespace MenuText;

std::array<std::string, 2> menuFiles()
{
    const std::string data = UserFiles::dataHome();
    return {data + "/kio/servicemenus/zorvane-menuweave.desktop",
            data + "/kservices5/ServiceMenus/zorvane-menuweave.desktop"};
}

std::string actionId(const MenuItem& item)
{
    return "zorvane" + std::to_string(item.index);
}

std::string actionGroup(const MenuItem& item)
{
    // Dolphin's menus are Qt menus, so the caption's "&" accelerator stays.
    std::string group = "\n[Desktop Action " + actionId(item) + "]\nName=" + desktopValue(item.caption) + "\n";
    if (!item.hint.empty())
        group += "Comment=" + desktopValue(item.hint) + "\n";
    group += "Icon=" + desktopValue(iconName(item)) + "\n";
    group += "Exec=" + desktopValue(doublePercent(commandLine(item, execQuote)) + " %F") + "\n";
    return group;
}

std::string serviceMenu(const std::vector<MenuItem>& items)
{
    std::string actions;
    for (const MenuItem& item : items)
        actions += actionId(item) + ";";
    std::string text = "[Desktop Entry]\nType=Service\nX-KDE-ServiceTypes=KonqPopupMenu/Plugin\n";
    text += "MimeType=" + std::string(RarMimeTypes) + "\n";
    text += "Actions=" + actions + "\n";
    // TopLevel puts the entries into the context menu itself, not its "Actions" submenu.
    text += "X-KDE-Priority=TopLevel\n";
    for (const MenuItem& item : items)
        text += actionGroup(item);
    return text;
}

} // namespace

bool sync(const std::vector<MenuItem>& items)
{
    // Plasma 6 offers service menus only from executable files.
    bool ok = true;
    for (const std::string& path : menuFiles()) {
        const bool done = items.empty() ? UserFiles::removeFile(path)
                                        : UserFiles::writeFileAtomically(path, serviceMenu(items), 0755);
        ok = done && ok;
    }
    return ok;
}

} // namespace DolphinServiceMenu

#include "shellext/DolphinServiceMenu.h"

#include "shellext/MenuText.h"
#include "shellext/UserFiles.h"

#include <array>
#include <string>

namespace DolphinServiceMenu {

namespace {

using MenuIni::MenuItem;
using namespace MenuText;

std::array<std::string, 2> MenuFiles()
{
    const std::string data = UserFiles::DataHome();
    return {data + "/kio/servicemenus/zorvane-menuweave.desktop",
            data + "/kservices5/ServiceMenus/zorvane-menuweave.desktop"};
}

std::string ActionId(const MenuItem& item)
{
    return "zorvane" + std::to_string(item.Index);
}

std::string ActionGroup(const MenuItem& item)
{
    // Dolphin's menus are Qt menus, so the caption's "&" accelerator stays.
    std::string group = "\n[Desktop Action " + ActionId(item) + "]\nName=" + DesktopValue(item.Caption) + "\n";
    if (!item.Hint.empty())
        group += "Comment=" + DesktopValue(item.Hint) + "\n";
    group += "Icon=" + DesktopValue(IconName(item)) + "\n";
    group += "Exec=" + DesktopValue(DoublePercent(ExecQuote(item.Application)) + " %F") + "\n";
    return group;
}

std::string ServiceMenu(const std::vector<MenuItem>& items)
{
    std::string actions;
    for (const MenuItem& item : items)
        actions += ActionId(item) + ";";
    std::string text = "[Desktop Entry]\nType=Service\nX-KDE-ServiceTypes=KonqPopupMenu/Plugin\n";
    text += "MimeType=" + std::string(kRarMimeTypes) + "\n";
    text += "Actions=" + actions + "\n";
    // TopLevel puts the entries into the context menu itself, not its "Actions" submenu.
    text += "X-KDE-Priority=TopLevel\n";
    for (const MenuItem& item : items)
        text += ActionGroup(item);
    return text;
}

} // namespace

bool Sync(const std::vector<MenuItem>& items)
{
    // Plasma 6 offers service menus only from executable files.
    bool ok = true;
    for (const std::string& path : MenuFiles()) {
        const bool done = items.empty() ? UserFiles::RemoveFile(path)
                                        : UserFiles::WriteFileAtomically(path, ServiceMenu(items), 0755);
        ok = done && ok;
    }
    return ok;
}

} // namespace DolphinServiceMenu

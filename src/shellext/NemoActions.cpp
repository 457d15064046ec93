#include "shellext/NemoActions.h"

#include "shellext/MenuText.h"
#include "shellext/UserFiles.h"

#include <set>
#include <string>

namespace NemoActions {

namespace {

using MenuIni::MenuItem;
using namespace MenuText;

constexpr const char* ActionSuffix = ".nemo_action";

std::string actionsFolder()
{
    return UserFiles::dataHome() + "/nemo/actions";
}

std::string fileName(const MenuItem& item)
{
    return item.index == 1 ? "zorvane.nemo_action" : "zorvane-" + std::to_string(item.index) + ActionSuffix;
}

// "zorvane.nemo_action" or "zorvane-<number>.nemo_action".
bool isOurs(const std::string& name)
{
    if (name == "zorvane.nemo_action")
        return true;
    if (!name.starts_with("zorvane-") || !name.ends_with(ActionSuffix))
        return false;
    const std::string number = name.substr(8, name.size() - 8 - std::string(ActionSuffix).size());
    return !number.empty() && number.find_first_not_of("0123456789") == std::string::npos;
}

// Nemo expands "%" field codes in Name, Comment and Exec, and shows Name as a
// GTK menu label whose "_" marks the mnemonic.
std::string action(const MenuItem& item)
{
    std::string text = "[Nemo Action]\nName=" + desktopValue(doublePercent(gtkCaption(item.caption))) + "\n";
    if (!item.hint.empty())
        text += "Comment=" + desktopValue(doublePercent(item.hint)) + "\n";
    text += "Exec=" + desktopValue(doublePercent(commandLine(item, shellQuote)) + " %F") + "\n";
    text += "Icon-Name=" + desktopValue(iconName(item)) + "\n";
    text += "Selection=notnone\nExtensions=rar;\nMimetypes=" + std::string(RarMimeTypes) + "\n";
    return text;
}

} // namespace

bool sync(const std::vector<MenuItem>& items)
{
    const std::string folder = actionsFolder();
    bool ok = true;
    std::set<std::string> written;
    for (const MenuItem& item : items) {
        ok = UserFiles::writeFileAtomically(folder + "/" + fileName(item), action(item), 0644) && ok;
        written.insert(fileName(item));
    }
    for (const std::string& name : UserFiles::regularFiles(folder))
        if (isOurs(name) && !written.contains(name))
            ok = UserFiles::removeFile(folder + "/" + name) && ok;
    return ok;
}

} // namespace NemoActions

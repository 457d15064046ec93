#include "shellext/NemoActions.h"

#include "shellext/MenuText.h"
#include "shellext/UserFiles.h"

#include <set>
#include <string>

namespace NemoActions {

namespace {

using MenuIni::MenuItem;
using namespace MenuText;

constexpr const char* kSuffix = ".nemo_action";

std::string ActionsFolder()
{
    return UserFiles::DataHome() + "/nemo/actions";
}

std::string FileName(const MenuItem& item)
{
    return item.Index == 1 ? "zorvane.nemo_action" : "zorvane-" + std::to_string(item.Index) + kSuffix;
}

// "zorvane.nemo_action" or "zorvane-<number>.nemo_action".
bool IsOurs(const std::string& name)
{
    if (name == "zorvane.nemo_action")
        return true;
    if (!name.starts_with("zorvane-") || !name.ends_with(kSuffix))
        return false;
    const std::string number = name.substr(8, name.size() - 8 - std::string(kSuffix).size());
    return !number.empty() && number.find_first_not_of("0123456789") == std::string::npos;
}

// Nemo expands "%" field codes in Name, Comment and Exec, and shows Name as a
// GTK menu label whose "_" marks the mnemonic.
std::string Action(const MenuItem& item)
{
    std::string text = "[Nemo Action]\nName=" + DesktopValue(DoublePercent(GtkCaption(item.Caption))) + "\n";
    if (!item.Hint.empty())
        text += "Comment=" + DesktopValue(DoublePercent(item.Hint)) + "\n";
    text += "Exec=" + DesktopValue(DoublePercent(ShellQuote(item.Application)) + " %F") + "\n";
    text += "Icon-Name=" + DesktopValue(IconName(item)) + "\n";
    text += "Selection=notnone\nExtensions=rar;\nMimetypes=" + std::string(kRarMimeTypes) + "\n";
    return text;
}

} // namespace

bool Sync(const std::vector<MenuItem>& items)
{
    const std::string folder = ActionsFolder();
    bool ok = true;
    std::set<std::string> written;
    for (const MenuItem& item : items) {
        ok = UserFiles::WriteFileAtomically(folder + "/" + FileName(item), Action(item), 0644) && ok;
        written.insert(FileName(item));
    }
    for (const std::string& name : UserFiles::RegularFiles(folder))
        if (IsOurs(name) && !written.contains(name))
            ok = UserFiles::RemoveFile(folder + "/" + name) && ok;
    return ok;
}

} // namespace NemoActions

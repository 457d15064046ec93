#include "shellext/NautilusScripts.h"

#include "shellext/MenuText.h"
#include "shellext/UserFiles.h"

#include <set>
#include <string>

namespace NautilusScripts {

namespace {

using MenuIni::MenuItem;
using namespace MenuText;

// Our scripts are told apart from the user's own by these first two lines.
constexpr const char* kHeader = "#!/bin/sh\n# zorvane-menuweave: written by Zorvane's context-menu extension, "
                                "removed when it is unregistered.\n";
constexpr std::size_t kMaxNameBytes = 200;

std::string ScriptsFolder()
{
    return UserFiles::DataHome() + "/nautilus/scripts";
}

// The caption without its accelerator, made a visible file name.
std::string FileName(const MenuItem& item)
{
    std::string name;
    for (char c : PlainCaption(item.Caption)) {
        if (c == '/')
            name += '-';
        else if (static_cast<unsigned char>(c) >= 0x20)
            name += c;
    }
    name.erase(0, name.find_first_not_of(". "));
    if (name.size() > kMaxNameBytes) {
        std::size_t cut = kMaxNameBytes;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name.resize(cut);
    }
    return name.empty() ? "Zorvane" : name;
}

// Nautilus passes the selection as newline-separated paths; each line becomes
// one argument, so blanks, quotes and backslashes in names reach the program
// unchanged. Without that variable (remote folders) its own arguments are kept.
std::string Script(const MenuItem& item)
{
    std::string text = kHeader;
    if (!item.Hint.empty())
        text += "# " + OneLine(item.Hint) + "\n";
    text += "if [ -n \"${NAUTILUS_SCRIPT_SELECTED_FILE_PATHS:-}\" ]; then\n"
            "    set --\n"
            "    while IFS= read -r selected; do\n"
            "        if [ -n \"$selected\" ]; then\n"
            "            set -- \"$@\" \"$selected\"\n"
            "        fi\n"
            "    done <<EOF\n"
            "$NAUTILUS_SCRIPT_SELECTED_FILE_PATHS\n"
            "EOF\n"
            "fi\n";
    text += "exec " + ShellQuote(item.Application) + " \"$@\"\n";
    return text;
}

bool IsOurs(const std::string& path)
{
    const std::string header = kHeader;
    const auto start = UserFiles::ReadFile(path, header.size());
    return start && *start == header;
}

} // namespace

bool Sync(const std::vector<MenuItem>& items)
{
    const std::string folder = ScriptsFolder();
    bool ok = true;
    std::set<std::string> written;
    for (const MenuItem& item : items) {
        const std::string path = folder + "/" + FileName(item);
        if (UserFiles::Exists(path) && !IsOurs(path)) {
            ok = false;
            continue;
        }
        ok = UserFiles::WriteFileAtomically(path, Script(item), 0755) && ok;
        written.insert(FileName(item));
    }
    for (const std::string& name : UserFiles::RegularFiles(folder))
        if (!written.contains(name) && IsOurs(folder + "/" + name))
            ok = UserFiles::RemoveFile(folder + "/" + name) && ok;
    return ok;
}

} // namespace NautilusScripts

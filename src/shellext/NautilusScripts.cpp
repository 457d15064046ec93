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
constexpr const char* ScriptHeader = "#!/bin/sh\n# zorvane-menuweave: written by Zorvane's context-menu extension, "
                                     "removed when it is unregistered.\n";
constexpr std::size_t MaxNameBytes = 200;

std::string scriptsFolder()
{
    return UserFiles::dataHome() + "/nautilus/scripts";
}

// The caption without its accelerator, made a visible file name.
std::string fileName(const MenuItem& item)
{
    std::string name;
    for (char c : plainCaption(item.caption)) {
        if (c == '/')
            name += '-';
        else if (static_cast<unsigned char>(c) >= 0x20)
            name += c;
    }
    name.erase(0, name.find_first_not_of(". "));
    if (name.size() > MaxNameBytes) {
        std::size_t cut = MaxNameBytes;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name.resize(cut);
    }
    return name.empty() ? "Zorvane" : name;
}

// Nautilus passes the selection as newline-separated paths; each line becomes
// one argument, so blanks, quotes and backslashes in names reach the program
// unchanged. Without that variable (remote folders) its own arguments are kept.
std::string script(const MenuItem& item)
{
    std::string text = ScriptHeader;
    if (!item.hint.empty())
        text += "# " + oneLine(item.hint) + "\n";
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
    text += "exec " + commandLine(item, shellQuote) + " \"$@\"\n";
    return text;
}

bool isOurs(const std::string& path)
{
    const std::string header = ScriptHeader;
    const auto start = UserFiles::readFile(path, header.size());
    return start && *start == header;
}

} // namespace

bool sync(const std::vector<MenuItem>& items)
{
    const std::string folder = scriptsFolder();
    bool ok = true;
    std::set<std::string> written;
    for (const MenuItem& item : items) {
        const std::string path = folder + "/" + fileName(item);
        if (UserFiles::exists(path) && !isOurs(path)) {
            ok = false;
            continue;
        }
        ok = UserFiles::writeFileAtomically(path, script(item), 0755) && ok;
        written.insert(fileName(item));
    }
    for (const std::string& name : UserFiles::regularFiles(folder))
        if (!written.contains(name) && isOurs(folder + "/" + name))
            ok = UserFiles::removeFile(folder + "/" + name) && ok;
    return ok;
}

} // namespace NautilusScripts

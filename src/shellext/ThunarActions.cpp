#include "shellext/ThunarActions.h"

#include "shellext/MenuText.h"
#include "shellext/UserFiles.h"

#include <string>

namespace ThunarActions {

namespace {

using MenuIni::MenuItem;
using namespace MenuText;

constexpr const char* IdPrefix = "zorvane-menuweave-";
constexpr const char* EmptyFile = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n</actions>\n";
constexpr const char* EndTag = "</action>";

std::string ucaFile()
{
    return UserFiles::configHome() + "/Thunar/uca.xml";
}

// Thunar quotes the selected paths it puts for %F, expands "%%" to "%", and
// shows the name as a GTK menu label whose "_" marks the mnemonic.
std::string action(const MenuItem& item)
{
    const std::string command = doublePercent(commandLine(item, shellQuote)) + " %F";
    std::string text = "<action>\n";
    text += "\t<icon>" + xmlText(iconName(item)) + "</icon>\n";
    text += "\t<name>" + xmlText(gtkCaption(item.caption)) + "</name>\n";
    text += "\t<submenu></submenu>\n";
    text += "\t<unique-id>" + std::string(IdPrefix) + std::to_string(item.index) + "</unique-id>\n";
    text += "\t<command>" + xmlText(command) + "</command>\n";
    text += "\t<description>" + xmlText(item.hint) + "</description>\n";
    text += "\t<range></range>\n\t<patterns>*.rar;*.RAR</patterns>\n\t<other-files/>\n";
    return text + "</action>\n";
}

// Where the next "<action>" element (not "<actions>") starts, from pos on.
std::size_t findAction(const std::string& xml, std::size_t pos)
{
    while ((pos = xml.find("<action", pos)) != std::string::npos) {
        const char next = pos + 7 < xml.size() ? xml[pos + 7] : '\0';
        if (next == '>' || next == ' ' || next == '\t' || next == '\n' || next == '\r')
            return pos;
        pos += 7;
    }
    return std::string::npos;
}

bool isOurs(const std::string& element)
{
    const auto open = element.find("<unique-id>");
    if (open == std::string::npos)
        return false;
    const auto id = element.find_first_not_of(" \t\r\n", open + 11);
    return id != std::string::npos && element.compare(id, std::string(IdPrefix).size(), IdPrefix) == 0;
}

// The file without our actions; each goes with the indentation before it and
// the line break after it, so adding and removing ours restores the original.
std::string withoutOurs(const std::string& xml)
{
    std::string out;
    std::size_t copied = 0;
    for (std::size_t start = findAction(xml, 0); start != std::string::npos; start = findAction(xml, copied)) {
        const auto endTag = xml.find(EndTag, start);
        if (endTag == std::string::npos)
            break;
        std::size_t end = endTag + std::string(EndTag).size();
        if (!isOurs(xml.substr(start, end - start))) {
            out.append(xml, copied, end - copied);
            copied = end;
            continue;
        }
        std::size_t from = start;
        while (from > copied && (xml[from - 1] == ' ' || xml[from - 1] == '\t'))
            --from;
        end += xml.compare(end, 2, "\r\n") == 0 ? 2 : xml.compare(end, 1, "\n") == 0 ? 1 : 0;
        out.append(xml, copied, from - copied);
        copied = end;
    }
    return out.append(xml, copied);
}

} // namespace

bool sync(const std::vector<MenuItem>& items)
{
    const std::string path = ucaFile();
    const auto existing = UserFiles::readFile(path);
    if (!existing && UserFiles::exists(path))
        return false;
    if (!existing && items.empty())
        return true;

    std::string xml = withoutOurs(existing.value_or(EmptyFile));
    if (!items.empty()) {
        auto end = xml.rfind("</actions>");
        if (end == std::string::npos)
            return false;
        // Ours go at the start of that line, so "</actions>" keeps its indentation.
        while (end > 0 && (xml[end - 1] == ' ' || xml[end - 1] == '\t'))
            --end;
        std::string ours;
        for (const MenuItem& item : items)
            ours += action(item);
        xml.insert(end, ours);
    }
    if (existing && xml == *existing)
        return true;
    return UserFiles::writeFileAtomically(path, xml, UserFiles::modeOf(path, 0644));
}

} // namespace ThunarActions

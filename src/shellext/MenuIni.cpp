#include "shellext/MenuIni.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace MenuIni {

namespace {

constexpr const char* SectionName = "dynamic items";

std::string trimmed(const std::string& text)
{
    const auto blank = [](unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    auto first = std::find_if_not(text.begin(), text.end(), blank);
    auto last = std::find_if_not(text.rbegin(), std::string::const_reverse_iterator(first), blank).base();
    return std::string(first, last);
}

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The profile functions the file was written for drop one pair of enclosing quotes.
std::string unquoted(const std::string& value)
{
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}

// Like the profile functions: leading digits count, anything else reads as 0.
long toNumber(const std::string& value)
{
    return std::strtol(value.c_str(), nullptr, 10);
}

std::vector<std::string> words(const std::string& value)
{
    std::vector<std::string> out;
    std::istringstream stream(value);
    for (std::string word; stream >> word;)
        out.push_back(word);
    return out;
}

struct Parsed
{
    long count = 0;
    std::map<int, MenuItem> items;
};

void store(Parsed& parsed, const std::string& key, const std::string& value)
{
    if (key == "count") {
        parsed.count = toNumber(value);
        return;
    }
    const auto digits = key.find_first_of("0123456789");
    if (digits == std::string::npos || digits == 0 || key.size() - digits > 6 ||
        key.find_first_not_of("0123456789", digits) != std::string::npos)
        return;
    const int index = std::atoi(key.c_str() + digits);
    const std::string name = key.substr(0, digits);
    MenuItem& item = parsed.items[index];
    item.index = index;
    if (name == "application")
        item.application = value;
    else if (name == "arguments")
        item.arguments = words(value);
    else if (name == "caption")
        item.caption = value;
    else if (name == "hint")
        item.hint = value;
    else if (name == "iconfile")
        item.iconFile = value;
    else if (name == "checked")
        item.checked = toNumber(value) != 0;
}

} // namespace

std::optional<std::vector<MenuItem>> read(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;

    Parsed parsed;
    bool inSection = false;
    std::string line;
    while (std::getline(file, line)) {
        line = trimmed(line);
        if (line.starts_with("\xEF\xBB\xBF"))
            line.erase(0, 3);
        if (line.starts_with('[')) {
            inSection = line.ends_with(']') && lowered(trimmed(line.substr(1, line.size() - 2))) == SectionName;
            continue;
        }
        const auto equals = line.find('=');
        if (!inSection || equals == std::string::npos || line.starts_with(';'))
            continue;
        store(parsed, lowered(trimmed(line.substr(0, equals))), unquoted(trimmed(line.substr(equals + 1))));
    }
    if (file.bad())
        return std::nullopt;

    std::vector<MenuItem> items;
    for (const auto& [index, item] : parsed.items)
        if (index >= 1 && index <= parsed.count)
            items.push_back(item);
    return items;
}

std::vector<MenuItem> installableItems(const std::vector<MenuItem>& items)
{
    std::vector<MenuItem> installable;
    std::copy_if(items.begin(), items.end(), std::back_inserter(installable), [](const MenuItem& item) {
        return item.checked && !item.application.empty() && !item.caption.empty();
    });
    return installable;
}

} // namespace MenuIni

#include "shellext/MenuText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace MenuText {

namespace {

// Walks a caption's "&" markers, handing each character to emit together with
// whether it is the accelerator.
template <typename Emit> void forEachCaptionChar(const std::string& caption, Emit emit)
{
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            emit(caption[i], false);
        } else if (i + 1 < caption.size()) {
            ++i;
            emit(caption[i], caption[i] != '&');
        }
    }
}

bool endsWithNoCase(const std::string& text, std::string_view suffix)
{
    return text.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char expected, char c) { return std::tolower(static_cast<unsigned char>(c)) == expected; });
}

} // namespace

std::string plainCaption(const std::string& caption)
{
    std::string out;
    forEachCaptionChar(caption, [&](char c, bool) { out += c; });
    return out;
}

std::string gtkCaption(const std::string& caption)
{
    std::string out;
    forEachCaptionChar(caption, [&](char c, bool accelerator) {
        if (accelerator)
            out += '_';
        out += c;
        if (c == '_')
            out += '_';
    });
    return out;
}

std::string shellQuote(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string execQuote(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string commandLine(const MenuIni::MenuItem& item, std::string (*quote)(const std::string&))
{
    std::string line = quote(item.application);
    for (const std::string& argument : item.arguments)
        line += " " + quote(argument);
    return line;
}

std::string doublePercent(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '%' ? std::string("%%") : std::string(1, c);
    return out;
}

std::string desktopValue(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case ' ':
            out += out.empty() ? "\\s" : " ";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string xmlText(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            // XML 1.0 has no way to write these.
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n')
                out += c;
        }
    }
    return out;
}

std::string oneLine(const std::string& text)
{
    std::string out = text;
    std::replace_if(
        out.begin(), out.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return out;
}

std::string iconName(const MenuIni::MenuItem& item)
{
    static constexpr std::array<std::string_view, 7> ImageSuffixes = {".png", ".svg",  ".svgz", ".xpm",
                                                                      ".jpg", ".jpeg", ".ico"};
    const bool image = item.iconFile.starts_with('/') &&
                       std::any_of(ImageSuffixes.begin(), ImageSuffixes.end(),
                                   [&](std::string_view suffix) { return endsWithNoCase(item.iconFile, suffix); });
    return image ? item.iconFile : "zorvane";
}

} // namespace MenuText

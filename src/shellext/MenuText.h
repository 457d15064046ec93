#pragma once

#include "shellext/MenuIni.h"

#include <string>

// How one menu item's texts are spelled in each file manager's files: its
// caption's accelerator, the program path quoted for a command line, the
// escapes of desktop-entry values and XML.
namespace MenuText {

// The RAR types the entries are offered on.
inline constexpr const char* RarMimeTypes = "application/vnd.rar;application/x-rar;application/x-rar-compressed;";

// "E&xtract" with the accelerator dropped: "Extract" ("&&" gives "&").
std::string plainCaption(const std::string& caption);

// "E&xtract" as a GTK mnemonic: "E_xtract" (literal "_" doubled, "&&" gives "&").
std::string gtkCaption(const std::string& caption);

// One shell word that stands for text exactly, in single quotes.
std::string shellQuote(const std::string& text);

// One desktop-entry Exec argument: in double quotes, with " ` $ \ escaped.
std::string execQuote(const std::string& text);

// The item's program followed by its arguments, each made one word by quote.
std::string commandLine(const MenuIni::MenuItem& item, std::string (*quote)(const std::string&));

// "%" doubled, for fields where "%" starts a field code.
std::string doublePercent(const std::string& text);

// A desktop-entry (key file) string value: \\ \n \t \r escaped, \s for a
// leading blank, so any text stays on its single line.
std::string desktopValue(const std::string& text);

// Text for an XML element: & < > " ' as entities, control characters dropped.
std::string xmlText(const std::string& text);

// Line breaks turned into blanks, for a shell comment.
std::string oneLine(const std::string& text);

// The item's icon: its icon file when that is an absolute path to an image,
// else the program's themed icon name.
std::string iconName(const MenuIni::MenuItem& item);

} // namespace MenuText

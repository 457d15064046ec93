#pragma once

#include <optional>
#include <string>
#include <vector>

// "Menuweave.ini", the program's description of the context-menu entries it
// wants: a "[Dynamic Items]" section with numbered keys and a "Count".
namespace MenuIni {

struct MenuItem
{
    int index = 0; // the N of the item's keys; names the files installed for it
    std::string application;
    std::vector<std::string> arguments; // put before the selected files
    std::string caption;                // "&" marks the accelerator, "&&" is a literal "&"
    std::string hint;
    std::string iconFile;
    bool checked = false;
};

// The items numbered 1..Count, in order. Keys and section names are compared
// without regard to case, blanks around "=" and line ends (CR LF or LF) do not
// matter, and unknown keys are ignored. "ArgumentsN" holds blank-separated
// words, one argument each. Empty when the file cannot be read.
std::optional<std::vector<MenuItem>> read(const std::string& path);

// The items worth a menu entry: checked, with a program to run and a caption.
std::vector<MenuItem> installableItems(const std::vector<MenuItem>& items);

} // namespace MenuIni

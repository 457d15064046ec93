#pragma once

#include "shellext/MenuIni.h"

#include <vector>

// The entries as Nautilus scripts: Nautilus lists the executable files of its
// scripts folder in the context menu under their file names, so each item is a
// small shell script named after its caption.
namespace NautilusScripts {

// Makes the scripts folder hold exactly our scripts for items, removing other
// scripts of ours; a file of the user's own with the same name is left alone.
bool sync(const std::vector<MenuIni::MenuItem>& items);

} // namespace NautilusScripts

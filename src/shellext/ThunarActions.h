#pragma once

#include "shellext/MenuIni.h"

#include <vector>

// The entries as Thunar custom actions in the user's uca.xml, which also holds
// the user's own actions: only actions with our unique ids are ever replaced or
// removed, and the rest of the file is kept byte for byte.
namespace ThunarActions {

// Makes uca.xml hold exactly our actions for items. Fails without writing
// when an existing file has no "</actions>" to add them before.
bool sync(const std::vector<MenuIni::MenuItem>& items);

} // namespace ThunarActions

#pragma once

#include "shellext/MenuIni.h"

#include <vector>

// The entries as a Dolphin (KDE) service menu: one desktop file of ours, in
// the Plasma 6 folder and in the Plasma 5 one.
namespace DolphinServiceMenu {

// Makes the service menu offer exactly items; with none, removes its file.
bool sync(const std::vector<MenuIni::MenuItem>& items);

} // namespace DolphinServiceMenu

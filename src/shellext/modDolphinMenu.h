#pragma once

#include "shellext/modMenuIni.h"

#include <vector>

// The entries as a Dolphin (KDE) service menu: one desktop file of ours, in
// the Plasma 6 folder and in the Plasma 5 one.
namespace modDolphinMenu {

// Makes the service menu offer exactly items; with none, removes its file.
bool Sync(const std::vector<modMenuIni::MenuItem>& items);

} // namespace modDolphinMenu

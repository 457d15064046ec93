#pragma once

#include "shellext/modMenuIni.h"

#include <vector>

// The entries as Nemo actions: one "zorvane*.nemo_action" file per item.
namespace modNemoActions {

// Makes Nemo offer exactly items, removing action files of ours it no longer needs.
bool Sync(const std::vector<modMenuIni::MenuItem>& items);

} // namespace modNemoActions

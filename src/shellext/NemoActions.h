#pragma once

#include "shellext/MenuIni.h"

#include <vector>

// The entries as Nemo actions: one "zorvane*.nemo_action" file per item.
namespace NemoActions {

// Makes Nemo offer exactly items, removing action files of ours it no longer needs.
bool sync(const std::vector<MenuIni::MenuItem>& items);

} // namespace NemoActions

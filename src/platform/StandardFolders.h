#pragma once

#include <QString>

// Folders the desktop names for the user.
namespace StandardFolders {

// The user's desktop folder; empty text when the desktop has none.
QString desktop();

} // namespace StandardFolders

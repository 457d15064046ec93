#pragma once

#include <QString>

// Opens documents, folders, web addresses and mail links with the desktop's
// default application, through xdg-utils.
namespace DocumentLauncher {

// Result codes of open(); only ResultNoAssociation means the caller
// should tell the user.
constexpr int ResultOutOfResources = 0;
constexpr int ResultFileNotFound = 2;
constexpr int ResultNoAssociation = 31;
constexpr int ResultLaunched = 42;

// Opens target (a local path, a file: URL or an address with any other
// scheme) without waiting for the application. Returns ResultLaunched, or
// ResultNoAssociation when the desktop has no default application for the
// target's type, or ResultFileNotFound when a local target does not exist, or
// ResultOutOfResources when xdg-open cannot be started.
int open(const QString& target);

} // namespace DocumentLauncher

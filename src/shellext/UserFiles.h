#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// The user's own XDG folders and the few file operations the extension needs.
// Files are replaced whole through a temporary file and a rename, so a file
// manager reading them never sees half a file.
namespace UserFiles {

// $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute.
std::string dataHome();

// $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute.
std::string configHome();

// The file's first limit bytes (all of it by default), or empty when it cannot be read.
std::optional<std::string> readFile(const std::string& path, std::size_t limit = SIZE_MAX);

// True when something (a file, a folder, a link) has that name.
bool exists(const std::string& path);

// Replaces path with data and the given mode bits, creating missing folders.
bool writeFileAtomically(const std::string& path, const std::string& data, mode_t mode);

// True when path is gone afterwards (also when it never existed).
bool removeFile(const std::string& path);

// The names of the regular files (not links) directly in folder.
std::vector<std::string> regularFiles(const std::string& folder);

// The mode bits of an existing file, else fallback.
mode_t modeOf(const std::string& path, mode_t fallback);

} // namespace UserFiles

#pragma once

#include <QString>

// Linux has no short (8.3) path form; the long form of a path is its
// absolute, clean spelling.
namespace MShorttoLongName {

// The absolute, clean path when it names an existing file or folder, resolved
// against the current folder and with symbolic links kept; otherwise empty.
QString LongPathName(const QString& ShortPath);

} // namespace MShorttoLongName

#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

// What a drop on the main window hands over.
namespace DroppedFiles {

// A dropped path with a doubled separator after its first two characters
// loses one of them.
QString cleanedPath(const QString& path);

// The local files of a drop, in its order; empty when it offers none.
QStringList archives(const QMimeData* data);

} // namespace DroppedFiles

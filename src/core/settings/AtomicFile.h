#pragma once

#include <QByteArray>
#include <QString>

// Whole-file writes that a crash cannot tear: the data goes to a temporary file
// beside the target, is flushed to disk, and replaces the target by rename, so
// readers see the old file or the new one, never a mix.
namespace AtomicFile {

// Writes data to path with the given mode bits (the temporary file carries them
// from its creation, so the content is never readable by others). The folder
// must exist. False on any failure; the old file is then untouched.
bool write(const QString& path, const QByteArray& data, int mode = 0600);

// Removes the temporary files that writers of path killed mid-write left
// behind. Only for a caller that holds the lock every writer of path takes,
// so that no write is in progress.
void removeStaleTemporaries(const QString& path);

// Creates path and missing parents with the given mode bits; true if it exists.
bool makeFolder(const QString& path, int mode = 0700);

} // namespace AtomicFile

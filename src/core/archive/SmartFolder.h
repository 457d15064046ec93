#pragma once

#include <QByteArray>
#include <QString>

// Where a run from the command line puts an archive. An archive that keeps
// to one top-level name (one folder, or a single file) goes straight into
// the target folder; any other gets a new folder named after it, so loose
// files never spill into the target and "plain.rar" never makes "plain/plain".
namespace SmartFolder {

// The archive's file name without ".rar" and, for a volume set, without
// ".partN": "photos.part01.rar" and "photos.rar" both give "photos".
QString archiveName(const QString& archivePath);

// The first part of an entry's name as it is extracted: "a/b/c" gives "a".
QByteArray topLevelName(const QByteArray& storedName);

// Whether the archive's entries have more than one top-level name. An
// archive whose headers cannot all be read counts as spilling: a folder of
// its own is the safe guess.
bool spillsOver(const QString& archivePath, const QString& password);

// parent/name, or parent/"name (2)", "name (3)"…: the first that names
// nothing yet, not even a dangling link.
QString freePath(const QString& parent, const QString& name);

} // namespace SmartFolder

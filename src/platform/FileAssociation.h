#pragma once

#include <QString>

// Makes the desktop open files of one extension with this program, and undoes
// it: a desktop entry in the user's applications folder and the user's default
// for the extension's MIME types in mimeapps.list. Nothing is reported.
namespace FileAssociation {

// Writes the desktop entry for FileType and makes it the default for the MIME
// types of Extension. The command is the program followed by "%f", or by the
// trimmed Arguments when there are any. Does nothing when FileType is empty.
void CreateAssociation(const QString& FileType, const QString& Extension, const QString& Description,
                       const QString& IconFile, const QString& Arguments);

// Deletes the desktop entry CreateAssociation wrote for FileType and drops it
// from the defaults and associations of Extension's MIME types; everything
// else, including other programs' defaults, stays.
void RemoveAssociation(const QString& FileType, const QString& Extension);

} // namespace FileAssociation

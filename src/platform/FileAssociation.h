#pragma once

#include <QString>

// Makes the desktop open files of one extension with this program, and undoes
// it: a desktop entry in the user's applications folder and the user's default
// for the extension's MIME types in mimeapps.list. Nothing is reported.
namespace FileAssociation {

// Writes the desktop entry for fileType and makes it the default for the MIME
// types of extension. The command is the program followed by "%f", or by the
// trimmed arguments when there are any. Does nothing when fileType is empty.
void create(const QString& fileType, const QString& extension, const QString& description, const QString& iconFile,
            const QString& arguments);

// Deletes the desktop entry create wrote for fileType and drops it
// from the defaults and associations of extension's MIME types; everything
// else, including other programs' defaults, stays.
void remove(const QString& fileType, const QString& extension);

} // namespace FileAssociation

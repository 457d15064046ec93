#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Linux file names are bytes and need not be valid UTF-8. Text made here
// keeps every such byte (as a lone surrogate, U+DC80 to U+DCFF), so a name
// from the command line reaches the file system exactly as it was given.
namespace PathText {

// Valid UTF-8 is decoded; every other byte becomes its lone surrogate.
QString fromBytes(const QByteArray& bytes);

// The bytes fromBytes was given; any other text is plain UTF-8.
QByteArray toBytes(const QString& text);

// argv[1] to argv[argc - 1], in order, through fromBytes.
QStringList fromArguments(int argc, const char* const* argv);

// The text before the last "/": "/a/b.rar" gives "/a", "/b.rar" gives "/", and a
// name without any "/" gives empty text.
QString folderOf(const QString& path);

// The text after the last "/" (the whole path if there is none); without
// keepExtension, the text from the name's last "." on is cut off.
QString fileNameOf(const QString& path, bool keepExtension);

// The absolute, clean path when it names an existing file or folder, resolved
// against the current folder and with symbolic links kept; otherwise empty.
QString absoluteExisting(const QString& path);

// Text from an archive made safe to show: control characters, line and
// paragraph separators and direction marks become \xNN or \uNNNN.
QString displayText(const QString& text);

} // namespace PathText

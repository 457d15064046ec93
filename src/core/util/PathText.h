#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Linux file names are bytes and need not be valid UTF-8. Text made here
// keeps every such byte (as a lone surrogate, U+DC80 to U+DCFF), so a name
// from the command line reaches the file system exactly as it was given.
namespace PathText {

// Valid UTF-8 is decoded; every other byte becomes its lone surrogate.
QString FromBytes(const QByteArray& bytes);

// The bytes FromBytes was given; any other text is plain UTF-8.
QByteArray ToBytes(const QString& text);

// argv[1] to argv[argc - 1], in order, through FromBytes.
QStringList FromArguments(int argc, const char* const* argv);

} // namespace PathText

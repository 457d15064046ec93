#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

// Desktop entry files (freedesktop.org), the way Linux desktops learn about
// programs: the autostart list, file-type associations, file-manager actions.
namespace DesktopEntry {

using Entry = QList<std::pair<QString, QString>>;

// A string value with the escapes the format defines (\\ \n \t \r, \s for a
// leading blank), so any text survives on its single line.
QString escapeValue(const QString& value);

// A "[Desktop Entry]" group holding the given keys in order.
QByteArray format(const Entry& keys);

} // namespace DesktopEntry

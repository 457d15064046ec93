#pragma once

#include <QString>

// The dialogs' remembered folders, files and filter positions, kept in section
// "DIALOGS" of an INI file between runs of the program.
namespace DialogsIni {

struct PersistedValues
{
    QString initialDir;
    QString lastOpenDir;
    qint32 lastOpenFilter = 1;
    QString lastOpenFile;
    QString lastSaveDir;
    qint32 lastSaveFilter = 1;
    QString lastSaveFile;
};

// $XDG_CONFIG_HOME/zorvane/ + the program file's name without extension +
// ".ini"; empty when there is no configuration folder to name.
QString iniPath();

// The values stored in the file. A missing, unreadable or garbled file, a
// missing key and an empty value give the defaults: defaultFolder for the
// folders, "" for the files and 1 for the filter positions (also for a
// position that is not a positive whole number). Texts are cut to 249
// characters, as the platform's 250-character read buffer did.
PersistedValues read(const QString& path, const QString& defaultFolder);

// Stores the seven values in their fixed order, keeping every other section
// and key of the file. A text ends at its first NUL or line break, which INI
// text cannot carry. The file is replaced atomically; false when it could not
// be written.
bool write(const QString& path, const PersistedValues& values);

} // namespace DialogsIni

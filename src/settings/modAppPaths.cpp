#include "settings/modAppPaths.h"

#include "settings/modAtomicFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

namespace modAppPaths {

QString ProgramFolder()
{
    const QString folder = QCoreApplication::applicationDirPath();
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString ProgramFile()
{
    return QCoreApplication::applicationFilePath();
}

QString WritableProgramFolder()
{
    const QString own = ProgramFolder();
    if (QFileInfo(own).isWritable())
        return own;
    const QString data =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/zorvane/");
    modAtomicFile::MakeFolder(data);
    return data;
}

QString ShellExtensionLibrary()
{
    return ProgramFolder() + QStringLiteral("MWShlExt.so");
}

} // namespace modAppPaths

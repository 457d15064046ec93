#include "platform/AppPaths.h"

#include "core/settings/AtomicFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

// The installed data and extension folders as seen from the installed
// program's folder; the build computes them for its install prefix.
#if !defined(ZORVANE_RELATIVE_DATADIR) || !defined(ZORVANE_RELATIVE_LIBDIR)
#error "src/CMakeLists.txt defines ZORVANE_RELATIVE_DATADIR and ZORVANE_RELATIVE_LIBDIR for this file"
#endif

namespace AppPaths {

namespace {

const QString LibraryName = QStringLiteral("MWShlExt.so");

QString installedFolder(const char* relative)
{
    return QDir::cleanPath(programFolder() + QString::fromUtf8(relative)) + u'/';
}

} // namespace

QString programFolder()
{
    const QString folder = QCoreApplication::applicationDirPath();
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString programFile()
{
    return QCoreApplication::applicationFilePath();
}

QString dataFolder()
{
    const QString own = programFolder();
    if (QFileInfo::exists(own + QStringLiteral("ZorvaneTips.txt")) || QFileInfo(own + QStringLiteral("help")).isDir())
        return own;
    return installedFolder(ZORVANE_RELATIVE_DATADIR);
}

// The extension reads Menuweave.ini beside itself before it looks in the data
// folder, so the program's folder only serves when the extension is there too.
// An installed program, even one run by root, leaves /usr/bin alone.
QString writableProgramFolder()
{
    const QString own = programFolder();
    if (QFileInfo::exists(own + LibraryName) && QFileInfo(own).isWritable())
        return own;
    const QString data =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/zorvane/");
    AtomicFile::makeFolder(data);
    return data;
}

QString shellExtensionLibrary()
{
    const QString beside = programFolder() + LibraryName;
    return QFileInfo::exists(beside) ? beside : installedFolder(ZORVANE_RELATIVE_LIBDIR) + LibraryName;
}

} // namespace AppPaths

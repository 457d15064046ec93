#include "core/archive/SmartFolder.h"

#include "core/archive/ArchiveHandle.h"
#include "core/archive/EntryHeader.h"
#include "core/archive/EntryPath.h"
#include "core/archive/EventPump.h"
#include "core/archive/UnrarApi.h"
#include "core/util/PathText.h"

#include <QRegularExpression>
#include <sys/stat.h>

namespace SmartFolder {

namespace {

bool isTaken(const QString& path)
{
    struct stat st;
    return ::lstat(PathText::toBytes(path).constData(), &st) == 0;
}

} // namespace

QString archiveName(const QString& archivePath)
{
    static const QRegularExpression volumeSuffix(QStringLiteral("\\.part\\d+$"),
                                                 QRegularExpression::CaseInsensitiveOption);
    const QString fileName = PathText::fileNameOf(archivePath, true);
    QString name = PathText::fileNameOf(archivePath, false);
    if (fileName.endsWith(QStringLiteral(".rar"), Qt::CaseInsensitive))
        name.remove(volumeSuffix);
    return name.isEmpty() ? fileName : name;
}

QByteArray topLevelName(const QByteArray& storedName)
{
    const QByteArray cleaned = EntryPath::cleanedName(storedName);
    const qsizetype slash = cleaned.indexOf('/');
    return slash < 0 ? cleaned : cleaned.first(slash);
}

bool spillsOver(const QString& archivePath, const QString& password)
{
    QByteArray archive = PathText::toBytes(archivePath);
    RAROpenArchiveData data{};
    data.ArcName = archive.data();
    data.OpenMode = RAR_OM_LIST;
    ArchiveHandle handle(RAROpenArchive(&data));
    if (!handle || data.OpenResult != ERAR_SUCCESS)
        return true;
    QByteArray utf8Password = password.toUtf8();
    if (!password.isEmpty())
        RARSetPassword(handle.get(), utf8Password.data());
    EntryHeader header;
    QByteArray firstName;
    bool seenAny = false;
    int result;
    while ((result = header.read(handle)) == ERAR_SUCCESS) {
        EventPump::serve();
        const QByteArray name = topLevelName(header.storedName());
        if (seenAny && name != firstName)
            return true;
        firstName = name;
        seenAny = true;
        if (RARProcessFile(handle.get(), RAR_SKIP, nullptr, nullptr) != ERAR_SUCCESS)
            return true;
    }
    return result != ERAR_END_ARCHIVE;
}

QString freePath(const QString& parent, const QString& name)
{
    const QString base = parent.endsWith(u'/') ? parent + name : parent + u'/' + name;
    QString path = base;
    for (int number = 2; isTaken(path); ++number)
        path = base + QStringLiteral(" (%1)").arg(number);
    return path;
}

} // namespace SmartFolder

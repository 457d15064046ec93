#include "core/util/MShorttoLongName.h"

#include "core/util/PathText.h"

#include <QDir>
#include <sys/stat.h>

namespace MShorttoLongName {

QString LongPathName(const QString& ShortPath)
{
    if (ShortPath.isEmpty())
        return {};
    // ".." is folded away by text, before the file system is asked, so the
    // existence check is made on the very path that is returned. The path's
    // own bytes are asked for: they need not be UTF-8.
    const QString absolute = QDir::isAbsolutePath(ShortPath) ? ShortPath : QDir::currentPath() + u'/' + ShortPath;
    const QString strLongPath = QDir::cleanPath(absolute);
    struct stat st;
    return ::stat(PathText::ToBytes(strLongPath).constData(), &st) == 0 ? strLongPath : QString();
}

} // namespace MShorttoLongName

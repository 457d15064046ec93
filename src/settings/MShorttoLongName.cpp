#include "settings/MShorttoLongName.h"

#include <QDir>
#include <QFileInfo>

namespace MShorttoLongName {

QString LongPathName(const QString& ShortPath)
{
    // ".." is folded away by text, before the file system is asked, so the
    // existence check is made on the very path that is returned.
    const QString strLongPath = QDir::cleanPath(QFileInfo(ShortPath).absoluteFilePath());
    return QFileInfo::exists(strLongPath) ? strLongPath : QString();
}

} // namespace MShorttoLongName

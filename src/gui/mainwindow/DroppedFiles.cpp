#include "gui/mainwindow/DroppedFiles.h"

#include <QMimeData>
#include <QUrl>

namespace DroppedFiles {

QString cleanedPath(const QString& path)
{
    if (path.size() >= 4 && path.at(2) == u'/' && path.at(3) == u'/')
        return path.left(2) + path.mid(3);
    return path;
}

QStringList archives(const QMimeData* data)
{
    QStringList files;
    if (data == nullptr || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            files.append(cleanedPath(url.toLocalFile()));
    }
    return files;
}

} // namespace DroppedFiles

#include "core/settings/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {

namespace {

bool writeAll(int fd, const QByteArray& data)
{
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

const QString TemporarySuffix = QStringLiteral("XXXXXX");

QString temporaryPrefix(const QFileInfo& target)
{
    return u'.' + target.fileName() + u'.';
}

} // namespace

bool write(const QString& path, const QByteArray& data, int mode)
{
    const QFileInfo target(path);
    QByteArray temp = QFile::encodeName(target.absolutePath() + u'/' + temporaryPrefix(target) + TemporarySuffix);
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = ::fchmod(fd, static_cast<mode_t>(mode)) == 0 && writeAll(fd, data) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.constData(), QFile::encodeName(path).constData()) != 0) {
        ::unlink(temp.constData());
        return false;
    }
    syncFolder(target.absolutePath());
    return true;
}

void removeStaleTemporaries(const QString& path)
{
    const QFileInfo target(path);
    QDir folder = target.absoluteDir();
    const QString pattern = temporaryPrefix(target) + QString(TemporarySuffix.size(), u'?');
    for (const QString& name : folder.entryList({pattern}, QDir::Files | QDir::Hidden | QDir::System))
        folder.remove(name);
}

bool makeFolder(const QString& path, int mode)
{
    if (QFileInfo(path).isDir())
        return true;
    const QString parent = QFileInfo(path).absolutePath();
    if (parent != path && !makeFolder(parent, mode))
        return false;
    return ::mkdir(QFile::encodeName(path).constData(), static_cast<mode_t>(mode)) == 0 || QFileInfo(path).isDir();
}

} // namespace AtomicFile

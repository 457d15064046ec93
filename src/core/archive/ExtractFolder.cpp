#include "core/archive/ExtractFolder.h"

#include "core/archive/EventPump.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

ExtractFolder::Place placeOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return ExtractFolder::Place::Folder;
    if (S_ISREG(mode))
        return ExtractFolder::Place::File;
    if (S_ISLNK(mode))
        return ExtractFolder::Place::Link;
    return ExtractFolder::Place::Other;
}

bool isFolder(const QByteArray& path)
{
    struct stat st;
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

bool ExtractFolder::makeOneLevel(const QByteArray& path)
{
    if (isFolder(path))
        return true;
    ::mkdir(path.constData(), 0777);
    EventPump::serve();
    return isFolder(path);
}

bool ExtractFolder::makeAllLevels(const QByteArray& path)
{
    for (qsizetype slash = path.indexOf('/', 1); slash > 0; slash = path.indexOf('/', slash + 1))
        makeOneLevel(path.left(slash));
    return makeOneLevel(path);
}

ExtractFolder::ExtractFolder(const QByteArray& path)
    : m_path(path)
    , m_fd(::open(path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC))
{}

ExtractFolder::~ExtractFolder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

// The kernel refuses a symbolic link on the way; one at the place itself is
// opened as the link.
ExtractFolder::Place ExtractFolder::probe(const QByteArray& relative) const
{
    open_how how{};
    how.flags = O_PATH | O_NOFOLLOW | O_CLOEXEC;
    how.resolve = RESOLVE_NO_SYMLINKS;
    const long entry = ::syscall(SYS_openat2, m_fd, relative.constData(), &how, sizeof how);
    if (entry >= 0) {
        struct stat st;
        const bool known = ::fstat(static_cast<int>(entry), &st) == 0;
        ::close(static_cast<int>(entry));
        return known ? placeOf(st.st_mode) : Place::Missing;
    }
    switch (errno) {
    case ELOOP:
        return Place::ThroughLink;
    case ENOSYS: // before Linux 5.6
    case EPERM:  // refused by a system call filter
        return probeByLevels(relative);
    default:
        // Missing parts, or a file where a folder should be: nothing further down exists yet.
        return Place::Missing;
    }
}

ExtractFolder::Place ExtractFolder::probeByLevels(const QByteArray& relative) const
{
    for (qsizetype from = 0;;) {
        const qsizetype slash = relative.indexOf('/', from);
        const QByteArray part = slash < 0 ? relative : relative.left(slash);
        struct stat st;
        if (::fstatat(m_fd, part.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return Place::Missing;
        if (slash < 0)
            return placeOf(st.st_mode);
        if (S_ISLNK(st.st_mode))
            return Place::ThroughLink;
        from = slash + 1;
    }
}

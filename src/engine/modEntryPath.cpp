#include "engine/modEntryPath.h"

#include <QByteArrayList>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace modEntryPath {

namespace {

// Links followed while resolving one path, as the kernel allows.
constexpr int MaxLinkHops = 40;

bool lstatPath(const QByteArray& baPath, struct stat& st)
{
    return ::lstat(baPath.constData(), &st) == 0;
}

QByteArray readLink(const QByteArray& baPath)
{
    QByteArray target(PATH_MAX, '\0');
    const ssize_t length = ::readlink(baPath.constData(), target.data(), target.size());
    return length < 0 ? QByteArray() : target.left(length);
}

QByteArray realFolder(const QByteArray& baFolder)
{
    char resolved[PATH_MAX];
    return ::realpath(baFolder.constData(), resolved) != nullptr ? QByteArray(resolved) : QByteArray();
}

QByteArray parentOf(const QByteArray& baPath)
{
    const qsizetype slash = baPath.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : baPath.left(slash);
}

QByteArray joined(const QByteArray& baFolder, const QByteArray& baName)
{
    return baFolder.endsWith('/') ? baFolder + baName : baFolder + '/' + baName;
}

// One walk of the kernel through the whole path that fails at the first
// symbolic link: a single call per entry instead of one per folder level.
// False when it cannot tell: a link on the way may belong to the folder
// itself, which the user chose, and kernels before Linux 5.6 lack the call.
bool provedLinkFree(const QByteArray& baFolder, const QByteArray& baCleaned)
{
    open_how how{};
    how.flags = O_PATH | O_CLOEXEC;
    how.resolve = RESOLVE_NO_SYMLINKS;
    const long entry = ::syscall(SYS_openat2, AT_FDCWD, joined(baFolder, baCleaned).constData(), &how, sizeof how);
    if (entry >= 0) {
        ::close(static_cast<int>(entry));
        return true;
    }
    // Missing parts, or a file where a folder should be: nothing further down exists yet.
    return errno != ELOOP && errno != ENOSYS && errno != EPERM;
}

} // namespace

QByteArray CleanedName(const QByteArray& baStored)
{
    QByteArray name = baStored;
    if (name.startsWith("//")) {
        // A network path: the server and share names are dropped with it.
        const qsizetype server = name.indexOf('/', 2);
        const qsizetype share = server < 0 ? -1 : name.indexOf('/', server + 1);
        if (share < 0)
            return {};
        name = name.mid(share + 1);
    }
    for (;;) {
        if (name.startsWith('/'))
            name.remove(0, 1);
        else if (name.startsWith("./"))
            name.remove(0, 2);
        else if (name.startsWith("../"))
            name.remove(0, 3);
        else
            break;
    }
    const qsizetype up = name.lastIndexOf("/../");
    if (up >= 0)
        name = name.mid(up + 4);
    if (name == "." || name == "..")
        return {};
    return name;
}

Verdict CheckName(const QByteArray& baFolder, const QByteArray& baStored)
{
    if (baStored.size() >= NameFieldLimit)
        return Verdict::TooLong;
    const QByteArray cleaned = CleanedName(baStored);
    if (cleaned.isEmpty())
        return Verdict::Unsafe;
    for (const QByteArray& part : cleaned.split('/')) {
        if (part == "." || part == "..")
            return Verdict::Unsafe;
        if (part.size() > ComponentLimit)
            return Verdict::TooLong;
    }
    if (baFolder.size() + 1 + cleaned.size() >= PathLimit)
        return Verdict::TooLong;
    return CrossesLink(baFolder, cleaned) ? Verdict::Unsafe : Verdict::Safe;
}

bool CrossesLink(const QByteArray& baFolder, const QByteArray& baCleaned)
{
    if (provedLinkFree(baFolder, baCleaned))
        return false;
    QByteArray path = baFolder;
    for (const QByteArray& part : baCleaned.split('/')) {
        if (part.isEmpty())
            continue;
        path = joined(path, part);
        struct stat st;
        if (!lstatPath(path, st))
            return false; // nothing further down exists yet
        if (S_ISLNK(st.st_mode))
            return true;
    }
    return false;
}

bool ResolvesInside(const QByteArray& baFolder, const QByteArray& baPath)
{
    const QByteArray folder = realFolder(baFolder);
    if (folder.isEmpty() || !baPath.startsWith('/'))
        return false;
    QByteArrayList pending = baPath.split('/');
    QByteArray current = "/";
    int hops = 0;
    while (!pending.isEmpty()) {
        const QByteArray part = pending.takeFirst();
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            current = parentOf(current);
            continue;
        }
        const QByteArray next = joined(current, part);
        struct stat st;
        if (lstatPath(next, st) && S_ISLNK(st.st_mode)) {
            if (++hops > MaxLinkHops)
                return false;
            const QByteArray target = readLink(next);
            if (target.startsWith('/'))
                current = "/";
            pending = target.split('/') + pending;
            continue;
        }
        current = next;
    }
    return current == folder || current.startsWith(joined(folder, QByteArray()));
}

bool TargetUsable(const QByteArray& baFolder, const QByteArray& baStoredTarget)
{
    if (CheckName(baFolder, baStoredTarget) != Verdict::Safe)
        return false;
    struct stat st;
    return lstatPath(joined(baFolder, CleanedName(baStoredTarget)), st) && S_ISREG(st.st_mode);
}

} // namespace modEntryPath

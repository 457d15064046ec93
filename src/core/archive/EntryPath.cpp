#include "core/archive/EntryPath.h"

#include "core/archive/ResultMessages.h"

#include <QByteArrayList>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace EntryPath {

namespace {

// Links followed while resolving one path, as the kernel allows.
constexpr int MaxLinkHops = 40;

bool lstatPath(const QByteArray& path, struct stat& st)
{
    return ::lstat(path.constData(), &st) == 0;
}

QByteArray readLink(const QByteArray& path)
{
    QByteArray target(PATH_MAX, '\0');
    const ssize_t length = ::readlink(path.constData(), target.data(), target.size());
    return length < 0 ? QByteArray() : target.left(length);
}

QByteArray realFolder(const QByteArray& folder)
{
    char resolved[PATH_MAX];
    return ::realpath(folder.constData(), resolved) != nullptr ? QByteArray(resolved) : QByteArray();
}

QByteArray parentOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

QByteArray joined(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

} // namespace

QByteArray cleanedName(const QByteArray& stored)
{
    QByteArray name = stored;
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

Check check(const ExtractFolder& folder, const QByteArray& stored)
{
    if (stored.size() >= NameFieldLimit)
        return {Verdict::TooLong};
    const QByteArray cleaned = cleanedName(stored);
    if (cleaned.isEmpty())
        return {Verdict::Unsafe};
    for (const QByteArray& part : cleaned.split('/')) {
        if (part == "." || part == "..")
            return {Verdict::Unsafe};
        if (part.size() > ComponentLimit)
            return {Verdict::TooLong};
    }
    if (folder.path().size() + 1 + cleaned.size() >= PathLimit)
        return {Verdict::TooLong};
    const ExtractFolder::Place place = folder.probe(cleaned);
    return {place == ExtractFolder::Place::ThroughLink ? Verdict::Unsafe : Verdict::Safe, place};
}

bool resolvesInside(const QByteArray& folderPath, const QByteArray& path)
{
    const QByteArray folder = realFolder(folderPath);
    if (folder.isEmpty() || !path.startsWith('/'))
        return false;
    QByteArrayList pending = path.split('/');
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

bool targetUsable(const ExtractFolder& folder, const QByteArray& storedTarget)
{
    const Check target = check(folder, storedTarget);
    return target.verdict == Verdict::Safe && target.place == ExtractFolder::Place::File;
}

qint32 refusal(const ExtractFolder& folder, Verdict verdict, unsigned redirKind, const QByteArray& redirTarget)
{
    switch (verdict) {
    case Verdict::TooLong:
        return ResultMessages::NameTooLong;
    case Verdict::Unsafe:
        return ResultMessages::UnsafeEntry;
    case Verdict::Safe:
        break;
    }
    switch (redirKind) {
    case RedirWindowsSymlink:
    case RedirJunction:
        return ResultMessages::UnsafeEntry; // Windows links have no meaning here
    case RedirHardLink:
    case RedirFileCopy:
        return targetUsable(folder, redirTarget) ? 0 : ResultMessages::UnsafeEntry;
    default:
        return 0;
    }
}

bool linkMadeSafely(unsigned redirKind, const QByteArray& folder, const QByteArray& target)
{
    struct stat st;
    switch (redirKind) {
    case RedirHardLink:
        return lstatPath(target, st);
    case RedirUnixSymlink:
        if (!lstatPath(target, st) || !S_ISLNK(st.st_mode))
            return false;
        if (resolvesInside(folder, target))
            return true;
        ::unlink(target.constData());
        return false;
    default:
        return true;
    }
}

void makeRoomFor(const QByteArray& path, ExtractFolder::Place place)
{
    struct stat st;
    if (place == ExtractFolder::Place::Link || (lstatPath(path, st) && S_ISREG(st.st_mode) && st.st_nlink > 1))
        ::unlink(path.constData());
}

} // namespace EntryPath

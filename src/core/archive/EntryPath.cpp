#include "core/archive/EntryPath.h"

#include <QByteArrayList>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace EntryPath {

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

Check CheckName(const ExtractFolder& folder, const QByteArray& baStored)
{
    if (baStored.size() >= NameFieldLimit)
        return {Verdict::TooLong};
    const QByteArray cleaned = CleanedName(baStored);
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

bool TargetUsable(const ExtractFolder& folder, const QByteArray& baStoredTarget)
{
    const Check check = CheckName(folder, baStoredTarget);
    return check.verdict == Verdict::Safe && check.place == ExtractFolder::Place::File;
}

} // namespace EntryPath

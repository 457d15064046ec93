#include "platform/FileAssociation.h"

#include "core/settings/AtomicFile.h"
#include "core/util/DesktopEntry.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <functional>
#include <sys/stat.h>

namespace FileAssociation {

namespace {

// The name under which the package installs the program's icon in the icon
// theme; used when the icon file given is no picture a desktop can draw.
const QString ThemedIcon = QStringLiteral("zorvane");

// Marks the entries this module writes, so that removal never deletes a file of
// the same name made by a menu editor or by hand.
const QString MarkerKey = QStringLiteral("X-Zorvane-FileType");

const QString DefaultsGroup = QStringLiteral("Default Applications");
const QString AddedGroup = QStringLiteral("Added Associations");
const QString RemovedGroup = QStringLiteral("Removed Associations");

// The database refresh runs on the GUI thread; a hung tool must not hang the program.
constexpr int RefreshBudgetMs = 5000;

// The desktop file ID: the file type in lower case, anything but ASCII letters,
// digits, "-" and "_" turned into "_", so that "Zorvane" gives "zorvane.desktop"
// and no file type can name a path outside the folder or a hidden file.
QString desktopId(const QString& fileType)
{
    QString id;
    for (QChar c : fileType.toLower()) {
        const bool safe = (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_';
        id += safe ? c : u'_';
    }
    return id + QStringLiteral(".desktop");
}

QString applicationsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
}

// Every name the shared MIME database knows for files with the extension,
// aliases included: mimeapps.list entries of other programs may use any of them,
// and a default set under one name only would lose to those.
QStringList mimeTypesFor(const QString& extension)
{
    const QString suffix = extension.startsWith(u'.') ? extension : u'.' + extension;
    QStringList names;
    for (const QMimeType& type : QMimeDatabase().mimeTypesForFileName(u'x' + suffix)) {
        for (const QString& name : QStringList{type.name()} + type.aliases()) {
            if (!names.contains(name))
                names.append(name);
        }
    }
    return names;
}

// The program as the first word of an Exec line. A path with blanks or shell
// characters is quoted, with " ` $ \ escaped inside; a plain path stays bare,
// since xdg-mime takes the first blank-separated word for the program. A
// percent sign is doubled so that it is not read as a field code.
QString execProgram(const QString& program)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    const QString path = QString(program).replace(u'%', QStringLiteral("%%"));
    if (std::none_of(path.begin(), path.end(), [](QChar c) { return reserved.contains(c); }))
        return path;
    QString quoted = QStringLiteral("\"");
    for (QChar c : path) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    return quoted + u'"';
}

// "%f": one start per file, with that file's path, as "%1" gave on Windows.
QString execLine(const QString& arguments)
{
    const QString trimmed = arguments.trimmed();
    return execProgram(QCoreApplication::applicationFilePath()) + u' ' +
           (trimmed.isEmpty() ? QStringLiteral("%f") : trimmed);
}

// Desktops draw PNG, SVG and XPM files named by path; anything else, such as
// the program file the options window passes, gets the theme icon instead.
QString iconValue(const QString& iconFile)
{
    const QFileInfo info(iconFile);
    if (iconFile.isEmpty() || !info.isFile())
        return ThemedIcon;
    static const QStringList drawable{QStringLiteral("image/png"), QStringLiteral("image/svg+xml"),
                                      QStringLiteral("image/x-xpixmap")};
    return drawable.contains(QMimeDatabase().mimeTypeForFile(info).name()) ? info.absoluteFilePath() : ThemedIcon;
}

// Not NoDisplay: GNOME, KDE, Xfce and Cinnamon would still offer the entry
// under "Open with", but one that shares its ID with the packaged entry would
// take the program out of the menus. The categories file it as a package would.
QByteArray desktopEntry(const QString& fileType, const QString& description, const QString& iconFile,
                        const QString& arguments, const QStringList& mimeTypes)
{
    DesktopEntry::Entry keys{{QStringLiteral("Type"), QStringLiteral("Application")},
                             {QStringLiteral("Name"), fileType}};
    if (!description.isEmpty())
        keys.append({QStringLiteral("Comment"), description});
    keys.append({QStringLiteral("Exec"), execLine(arguments)});
    keys.append({QStringLiteral("Icon"), iconValue(iconFile)});
    keys.append({QStringLiteral("Terminal"), QStringLiteral("false")});
    keys.append({QStringLiteral("Categories"), QStringLiteral("Utility;Archiving;Compression;")});
    if (!mimeTypes.isEmpty())
        keys.append({QStringLiteral("MimeType"), mimeTypes.join(u';') + u';'});
    keys.append({MarkerKey, fileType});
    return DesktopEntry::format(keys);
}

bool isOurEntry(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray marker = (MarkerKey + u'=').toUtf8();
    while (!file.atEnd()) {
        if (file.readLine().startsWith(marker))
            return true;
    }
    return false;
}

// Desktops read the MIME cache of the applications folder for their "Open
// with" lists. The cache is optional, so a missing tool or a failure leaves it.
void refreshDesktopDatabase(const QString& folder)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (tool.isEmpty())
        return;
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(tool, {folder});
    if (!process.waitForFinished(RefreshBudgetMs)) {
        process.kill();
        process.waitForFinished(500);
    }
}

// mimeapps.list as groups of raw lines, so that whatever this module does not
// change is written back exactly as it was read.
struct Group
{
    QString header; // the "[Name]" line as read; empty for the lines before the first group
    QString name;
    QStringList lines;
    bool edited = false;
};
using ListFile = QList<Group>;
using IdsEdit = std::function<QStringList(QStringList)>;

ListFile parseList(const QString& text)
{
    ListFile file{Group{}};
    QStringList lines = text.split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast(); // the empty text after the final line feed
    for (const QString& line : std::as_const(lines)) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']'))
            file.append(Group{line, trimmed.mid(1, trimmed.size() - 2), {}});
        else
            file.last().lines.append(line);
    }
    return file;
}

// Trailing blank lines go, so that a group added and removed again leaves the
// file as it was.
QByteArray serializeList(const ListFile& file)
{
    QStringList lines;
    for (const Group& group : file) {
        if (!group.header.isEmpty())
            lines.append(group.header);
        lines += group.lines;
    }
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines.isEmpty() ? QByteArray() : (lines.join(u'\n') + u'\n').toUtf8();
}

// The key and desktop IDs of a "type=a.desktop;b.desktop;" line; no key for
// comments and blank lines.
std::pair<QString, QStringList> keyLine(const QString& line)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0 || line.trimmed().startsWith(u'#'))
        return {};
    QStringList ids;
    for (const QString& id : line.mid(equals + 1).split(u';')) {
        if (!id.trimmed().isEmpty())
            ids.append(id.trimmed());
    }
    return {line.left(equals).trimmed(), ids};
}

// The group to add keys to; a missing one is appended after a blank line, the
// way desktops write the file.
Group& groupToExtend(ListFile& file, const QString& name)
{
    for (Group& group : file) {
        if (!group.header.isEmpty() && group.name == name)
            return group;
    }
    Group& last = file.last();
    const QString lastLine = last.lines.isEmpty() ? last.header : last.lines.last();
    if (!lastLine.trimmed().isEmpty())
        last.lines.append(QString());
    file.append(Group{u'[' + name + u']', name, {}});
    return file.last();
}

// Applies edit to the IDs of key wherever the group holds it and drops a line
// left without IDs. With addMissing, a key held nowhere is added to the group.
void editKey(ListFile& file, const QString& groupName, const QString& key, const IdsEdit& edit, bool addMissing)
{
    bool found = false;
    for (Group& group : file) {
        if (group.header.isEmpty() || group.name != groupName)
            continue;
        for (qsizetype i = 0; i < group.lines.size(); ++i) {
            const auto [lineKey, ids] = keyLine(group.lines[i]);
            if (lineKey != key)
                continue;
            found = true;
            const QStringList edited = edit(ids);
            if (edited == ids)
                continue;
            group.edited = true;
            if (edited.isEmpty())
                group.lines.removeAt(i--);
            else
                group.lines[i] = key + u'=' + edited.join(u';') + u';';
        }
    }
    const QStringList added = found || !addMissing ? QStringList() : edit({});
    if (added.isEmpty())
        return;
    Group& group = groupToExtend(file, groupName);
    qsizetype at = group.lines.size();
    while (at > 0 && group.lines[at - 1].trimmed().isEmpty())
        --at;
    group.lines.insert(at, key + u'=' + added.join(u';') + u';');
    group.edited = true;
}

int modeOf(const QString& path, int fallback)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : fallback;
}

// Changes the user's mimeapps.list through edit. The file is written only when
// something changed, keeps its permissions, and is deleted when nothing is left
// in it (unless it is a link). One that cannot be read is left alone.
void updateMimeApps(const std::function<void(ListFile&)>& edit)
{
    const QFileInfo link(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/mimeapps.list"));
    // A linked file (kept with the user's dotfiles) is changed where it lives.
    const QString canonical = link.canonicalFilePath();
    const QString path = canonical.isEmpty() ? link.absoluteFilePath() : canonical;
    QFile file(path);
    QByteArray before;
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            return;
        before = file.readAll();
        file.close();
    }
    ListFile list = parseList(QString::fromUtf8(before));
    edit(list);
    if (std::none_of(list.cbegin(), list.cend(), [](const Group& group) { return group.edited; }))
        return;
    // A group this module emptied goes, so that removal leaves no bare headers.
    list.removeIf([](const Group& group) {
        return group.edited && std::all_of(group.lines.cbegin(), group.lines.cend(),
                                           [](const QString& line) { return line.trimmed().isEmpty(); });
    });
    const QByteArray after = serializeList(list);
    if (after.isEmpty() && !link.isSymLink()) {
        QFile::remove(path);
        return;
    }
    if (AtomicFile::makeFolder(QFileInfo(path).absolutePath()))
        AtomicFile::write(path, after, modeOf(path, 0644));
}

QStringList withFirst(const QString& id, QStringList ids)
{
    ids.removeAll(id);
    ids.prepend(id);
    return ids;
}

QStringList without(const QString& id, QStringList ids)
{
    ids.removeAll(id);
    return ids;
}

} // namespace

// The entry is written even when the database knows no MIME type for the
// extension: the program is then known to the desktop, with no default to set.
void create(const QString& fileType, const QString& extension, const QString& description, const QString& iconFile,
            const QString& arguments)
{
    if (fileType.isEmpty())
        return;
    const QString id = desktopId(fileType);
    const QString folder = applicationsFolder();
    const QStringList mimeTypes = mimeTypesFor(extension);
    if (AtomicFile::makeFolder(folder))
        AtomicFile::write(folder + u'/' + id, desktopEntry(fileType, description, iconFile, arguments, mimeTypes),
                          0644);
    // Ours goes first and the previous choices stay behind it, so that removal
    // gives the user back the default they had.
    const auto first = [&](QStringList ids) { return withFirst(id, ids); };
    const auto drop = [&](QStringList ids) { return without(id, ids); };
    updateMimeApps([&](ListFile& list) {
        for (const QString& type : mimeTypes) {
            editKey(list, DefaultsGroup, type, first, true);
            editKey(list, AddedGroup, type, first, true);
            // An earlier "forget association" in a file manager would keep hiding it.
            editKey(list, RemovedGroup, type, drop, false);
        }
    });
    refreshDesktopDatabase(folder);
}

// Our ID leaves the extension's defaults even when the entry is not ours to
// delete: the user asked that these files no longer open with the program.
void remove(const QString& fileType, const QString& extension)
{
    if (fileType.isEmpty())
        return;
    const QString id = desktopId(fileType);
    const QString folder = applicationsFolder();
    const QString entry = folder + u'/' + id;
    const bool deleted = isOurEntry(entry) && QFile::remove(entry);
    const QStringList mimeTypes = mimeTypesFor(extension);
    const auto drop = [&](QStringList ids) { return without(id, ids); };
    updateMimeApps([&](ListFile& list) {
        for (const QString& type : mimeTypes) {
            editKey(list, DefaultsGroup, type, drop, false);
            editKey(list, AddedGroup, type, drop, false);
        }
    });
    if (deleted)
        refreshDesktopDatabase(folder);
}

} // namespace FileAssociation

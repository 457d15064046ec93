#include "core/settings/SettingsStore.h"

#include "Version.h"
#include "core/settings/AtomicFile.h"
#include "core/settings/FileLock.h"
#include "core/settings/SettingsDocument.h"
#include "core/util/DesktopEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <functional>

namespace {

const QString DefaultValueKey = QStringLiteral("*");
const QString StoreSuffix = QStringLiteral(".conf");

enum class ReadResult
{
    Missing,
    Read,
    Unreadable
};

// Only blanks count, as in the classic Trim; tabs stay.
QString trimBlanks(const QString& s)
{
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && s[first] == u' ')
        ++first;
    while (last > first && s[last - 1] == u' ')
        --last;
    return s.mid(first, last - first);
}

// A name becomes one file-name segment: "/" and "%" are encoded and the
// segments "." and ".." are refused, so no name can leave the root folder.
QString fileSegment(const QString& name)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return QString();
    QString out = name;
    out.replace(u'%', QStringLiteral("%25"))
        .replace(u'/', QStringLiteral("%2F"))
        .replace(QChar(0), QStringLiteral("%00"));
    return out;
}

QString rootFolder(SettingsStore::RootKey root)
{
    if (root == SettingsStore::RootKey::CurrentUser)
        return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QStringList all = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    return all.size() > 1 ? all.at(1) : QString();
}

ReadResult readDocument(const QString& path, SettingsDocument& doc)
{
    QFile file(path);
    if (!file.exists())
        return ReadResult::Missing;
    if (!file.open(QIODevice::ReadOnly))
        return ReadResult::Unreadable;
    doc = SettingsDocument::parse(file.readAll());
    return ReadResult::Read;
}

// Writing through a symbolic link keeps the link (users keep dotfiles elsewhere).
QString writeTarget(const QString& path)
{
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : path;
}

// Read, change and write back the whole tree under the store's lock. A file that
// exists but cannot be read is never replaced: that would lose its values.
bool modifyStore(const QString& path, bool createStore, const std::function<bool(SettingsDocument&)>& change)
{
    if (path.isEmpty() || (!createStore && !QFileInfo::exists(path)))
        return false;
    const QString target = writeTarget(path);
    if (!AtomicFile::makeFolder(QFileInfo(target).absolutePath()))
        return false;
    const FileLock lock(target + QStringLiteral(".lock"));
    if (!lock.isLocked())
        return false;
    SettingsDocument doc;
    const ReadResult read = readDocument(target, doc);
    if (read == ReadResult::Unreadable || (!createStore && read == ReadResult::Missing))
        return false;
    // Copies a killed writer left behind may hold saved passwords.
    AtomicFile::removeStaleTemporaries(target);
    const QByteArray before = doc.serialize();
    if (!change(doc))
        return false;
    // Each write waits for the disk; values saved again unchanged need none.
    const QByteArray after = doc.serialize();
    return (read == ReadResult::Read && after == before) || AtomicFile::write(target, after, 0600);
}

QString valueName(const QString& key)
{
    return key == DefaultValueKey ? QString() : key;
}

} // namespace

SettingsStore::SettingsStore()
    : m_company(QString::fromUtf8(Version::Publisher))
    , m_appName(QString::fromUtf8(Version::ProductName))
{}

void SettingsStore::setCompany(const QString& company)
{
    m_company = company.isEmpty() ? QString::fromUtf8(Version::Publisher) : trimBlanks(company);
}

void SettingsStore::setAppName(const QString& appName)
{
    m_appName = appName.isEmpty() ? QString::fromUtf8(Version::ProductName) : trimBlanks(appName);
}

QString SettingsStore::fileName() const
{
    return fileName(RootKey::CurrentUser);
}

QString SettingsStore::fileName(RootKey root) const
{
    const QString folder = rootFolder(root);
    const QString company = fileSegment(m_company);
    const QString app = fileSegment(m_appName);
    if (folder.isEmpty() || company.isEmpty() || app.isEmpty())
        return QString();
    return folder + u'/' + company + u'/' + app + StoreSuffix;
}

QString SettingsStore::value(const QString& section, const QString& key, const QString& defaultText) const
{
    SettingsDocument doc;
    const QString path = fileName();
    if (path.isEmpty() || !SettingsDocument::isValidPath(section) || readDocument(path, doc) != ReadResult::Read)
        return defaultText;
    const SettingsDocument::Key* stored = doc.findKey(section);
    const SettingsDocument::Value* found = stored ? SettingsDocument::findValue(*stored, valueName(key)) : nullptr;
    return found ? found->text : defaultText;
}

bool SettingsStore::setValue(const QString& section, const QString& key, const QString& text)
{
    return setValues(section, {SettingRow{key, text}});
}

bool SettingsStore::setValues(const QString& section, const QList<SettingRow>& rows)
{
    if (!SettingsDocument::isValidPath(section))
        return false;
    return modifyStore(fileName(), true, [&](SettingsDocument& doc) {
        SettingsDocument::Key& stored = doc.ensureKey(section);
        for (const SettingRow& row : rows)
            SettingsDocument::setValue(stored, valueName(row.name), row.text);
        return true;
    });
}

bool SettingsStore::remove(const QString& section, const QString& key)
{
    return modifyStore(fileName(), false, [&](SettingsDocument& doc) {
        if (key.isEmpty())
            return doc.removeKey(section);
        SettingsDocument::Key* stored = doc.findKey(section);
        return stored && SettingsDocument::removeValue(*stored, valueName(key));
    });
}

QList<SettingsStore::SettingRow> SettingsStore::values(const QString& section) const
{
    SettingsDocument doc;
    const QString path = fileName();
    if (path.isEmpty() || readDocument(path, doc) != ReadResult::Read)
        return {};
    const SettingsDocument::Key* stored = doc.findKey(section);
    if (!stored)
        return {};
    QList<SettingRow> rows;
    for (const SettingsDocument::Value& value : stored->values)
        rows.append(SettingRow{value.name, value.text});
    return rows;
}

QStringList SettingsStore::subkeys(RootKey root, const QString& section) const
{
    if (section.isEmpty()) {
        // Below a root, every store of every company hangs off "Software".
        const QDir rootDir(rootFolder(root));
        const QStringList companies = rootDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        const bool anyStore = std::any_of(companies.begin(), companies.end(), [&](const QString& company) {
            return !QDir(rootDir.filePath(company)).entryList({u'*' + StoreSuffix}, QDir::Files).isEmpty();
        });
        return anyStore ? QStringList{QStringLiteral("Software")} : QStringList{};
    }
    SettingsDocument doc;
    const QString path = fileName(root);
    if (path.isEmpty() || readDocument(path, doc) != ReadResult::Read || !doc.findKey(section))
        return {};
    return doc.subkeys(section);
}

bool SettingsStore::runAtNextLogOn(const QString& name, const QString& commandLine, int action)
{
    const QString fileBase = fileSegment(name);
    if (fileBase.isEmpty() || (action != 0 && action != 1))
        return false;
    const QString folder = rootFolder(RootKey::CurrentUser) + QStringLiteral("/autostart");
    const QString path = folder + u'/' + fileBase + QStringLiteral(".desktop");
    if (action == 0)
        return QFile::remove(path);
    const QByteArray entry = DesktopEntry::format({
        {QStringLiteral("Type"), QStringLiteral("Application")},
        {QStringLiteral("Name"), name},
        {QStringLiteral("Exec"), commandLine},
        {QStringLiteral("X-GNOME-Autostart-enabled"), QStringLiteral("true")},
    });
    return AtomicFile::makeFolder(folder) && AtomicFile::write(path, entry, 0600);
}

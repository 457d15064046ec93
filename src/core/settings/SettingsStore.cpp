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
    if (!AtomicFile::MakeFolder(QFileInfo(target).absolutePath()))
        return false;
    const FileLock lock(target + QStringLiteral(".lock"));
    if (!lock.isLocked())
        return false;
    SettingsDocument doc;
    const ReadResult read = readDocument(target, doc);
    if (read == ReadResult::Unreadable || (!createStore && read == ReadResult::Missing))
        return false;
    // Copies a killed writer left behind may hold saved passwords.
    AtomicFile::RemoveStaleTemporaries(target);
    const QByteArray before = doc.serialize();
    if (!change(doc))
        return false;
    // Each write waits for the disk; values saved again unchanged need none.
    const QByteArray after = doc.serialize();
    return (read == ReadResult::Read && after == before) || AtomicFile::WriteFileAtomically(target, after, 0600);
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

void SettingsStore::setCompany(const QString& value)
{
    m_company = value.isEmpty() ? QString::fromUtf8(Version::Publisher) : trimBlanks(value);
}

void SettingsStore::setAppName(const QString& value)
{
    m_appName = value.isEmpty() ? QString::fromUtf8(Version::ProductName) : trimBlanks(value);
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

QString SettingsStore::GetSetting(const QString& Section, const QString& Key, const QString& Default) const
{
    SettingsDocument doc;
    const QString path = fileName();
    if (path.isEmpty() || !SettingsDocument::isValidPath(Section) || readDocument(path, doc) != ReadResult::Read)
        return Default;
    const SettingsDocument::Key* section = doc.findKey(Section);
    const SettingsDocument::Value* value = section ? SettingsDocument::findValue(*section, valueName(Key)) : nullptr;
    return value ? value->text : Default;
}

bool SettingsStore::SaveSetting(const QString& Section, const QString& Key, const QString& Setting)
{
    return SaveSettings(Section, {SettingRow{Key, Setting}});
}

bool SettingsStore::SaveSettings(const QString& Section, const QList<SettingRow>& rows)
{
    if (!SettingsDocument::isValidPath(Section))
        return false;
    return modifyStore(fileName(), true, [&](SettingsDocument& doc) {
        SettingsDocument::Key& section = doc.ensureKey(Section);
        for (const SettingRow& row : rows)
            SettingsDocument::setValue(section, valueName(row.name), row.text);
        return true;
    });
}

bool SettingsStore::DeleteSetting(const QString& Section, const QString& Key)
{
    return modifyStore(fileName(), false, [&](SettingsDocument& doc) {
        if (Key.isEmpty())
            return doc.removeKey(Section);
        SettingsDocument::Key* section = doc.findKey(Section);
        return section && SettingsDocument::removeValue(*section, valueName(Key));
    });
}

QList<SettingsStore::SettingRow> SettingsStore::GetAllSettings(const QString& Section) const
{
    SettingsDocument doc;
    const QString path = fileName();
    if (path.isEmpty() || readDocument(path, doc) != ReadResult::Read)
        return {};
    const SettingsDocument::Key* section = doc.findKey(Section);
    if (!section)
        return {};
    QList<SettingRow> rows;
    for (const SettingsDocument::Value& value : section->values)
        rows.append(SettingRow{value.name, value.text});
    return rows;
}

QStringList SettingsStore::EnumRegistryKeys(RootKey hKey, const QString& KeyName) const
{
    if (KeyName.isEmpty()) {
        // Below a root, every store of every company hangs off "Software".
        const QDir root(rootFolder(hKey));
        const QStringList companies = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        const bool anyStore = std::any_of(companies.begin(), companies.end(), [&](const QString& company) {
            return !QDir(root.filePath(company)).entryList({u'*' + StoreSuffix}, QDir::Files).isEmpty();
        });
        return anyStore ? QStringList{QStringLiteral("Software")} : QStringList{};
    }
    SettingsDocument doc;
    const QString path = fileName(hKey);
    if (path.isEmpty() || readDocument(path, doc) != ReadResult::Read || !doc.findKey(KeyName))
        return {};
    return doc.subkeys(KeyName);
}

bool SettingsStore::RunNextBoot(const QString& AppName, const QString& CmdLine, const int& Action)
{
    const QString name = fileSegment(AppName);
    if (name.isEmpty() || (Action != 0 && Action != 1))
        return false;
    const QString folder = rootFolder(RootKey::CurrentUser) + QStringLiteral("/autostart");
    const QString path = folder + u'/' + name + QStringLiteral(".desktop");
    if (Action == 0)
        return QFile::remove(path);
    const QByteArray entry = DesktopEntry::Format({
        {QStringLiteral("Type"), QStringLiteral("Application")},
        {QStringLiteral("Name"), AppName},
        {QStringLiteral("Exec"), CmdLine},
        {QStringLiteral("X-GNOME-Autostart-enabled"), QStringLiteral("true")},
    });
    return AtomicFile::MakeFolder(folder) && AtomicFile::WriteFileAtomically(path, entry, 0600);
}

#include "gui/dialogs/DialogsIni.h"

#include "core/settings/AtomicFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <utility>

namespace DialogsIni {

namespace {

const QString Section = QStringLiteral("DIALOGS");
constexpr qsizetype MaxTextLength = 249;
// Far beyond any file this module writes; a huge file in its place is not read whole.
constexpr qint64 MaxFileBytes = 1 << 20;

using KeyValue = std::pair<QString, QString>;

struct IniLine
{
    QString section; // the section the line belongs to
    QString key;     // empty for section headers, comments and lines without "="
    QString text;    // the whole line as read
    bool header = false;
};

QList<IniLine> parse(const QByteArray& bytes)
{
    QStringList texts = QString::fromUtf8(bytes).split(u'\n');
    if (texts.last().isEmpty())
        texts.removeLast();
    QList<IniLine> lines;
    QString section;
    for (QString& text : texts) {
        if (text.endsWith(u'\r'))
            text.chop(1);
        const QString trimmed = text.trimmed();
        const qsizetype equals = trimmed.indexOf(u'=');
        if (trimmed.startsWith(u'[') && trimmed.contains(u']')) {
            section = trimmed.mid(1, trimmed.indexOf(u']') - 1).trimmed();
            lines.append({section, QString(), text, true});
        } else if (equals > 0 && !trimmed.startsWith(u';')) {
            lines.append({section, trimmed.left(equals).trimmed(), text});
        } else {
            lines.append({section, QString(), text});
        }
    }
    return lines;
}

bool inSection(const IniLine& line)
{
    return line.section.compare(Section, Qt::CaseInsensitive) == 0;
}

qsizetype findKey(const QList<IniLine>& lines, const QString& key)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (inSection(lines.at(i)) && lines.at(i).key.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

// The key's first value in the section: blanks around it and one pair of
// enclosing quotation marks removed, cut to the read buffer.
QString profileString(const QList<IniLine>& lines, const QString& key)
{
    const qsizetype found = findKey(lines, key);
    if (found < 0)
        return QString();
    const QString& line = lines.at(found).text;
    QString value = line.mid(line.indexOf(u'=') + 1).trimmed();
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value.left(MaxTextLength);
}

QString textOr(const QList<IniLine>& lines, const QString& key, const QString& fallback)
{
    const QString value = profileString(lines, key);
    return value.isEmpty() ? fallback : value;
}

// Leading digits count, as the platform read them ("2 " and "2x" are 2).
qint32 positionOr1(const QList<IniLine>& lines, const QString& key)
{
    static const QRegularExpression digits(QStringLiteral("^\\d+"));
    bool ok = false;
    const qint32 value = digits.match(profileString(lines, key)).captured().toInt(&ok);
    return ok && value >= 1 ? value : 1;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(MaxFileBytes);
}

QString singleLine(const QString& text)
{
    static const QRegularExpression lineEnd(QStringLiteral("[\\x{0}\\r\\n]"));
    const qsizetype cut = text.indexOf(lineEnd);
    return cut < 0 ? text : text.left(cut);
}

// Replaces each key's first line in the section and adds the missing keys
// after the section's last line that holds a key; a missing section is added
// at the end.
QByteArray withValues(const QList<IniLine>& lines, const QList<KeyValue>& values)
{
    QStringList out;
    qsizetype insertAt = -1;
    for (const IniLine& line : lines) {
        if (inSection(line) && (line.header ? insertAt < 0 : !line.key.isEmpty()))
            insertAt = out.size() + 1;
        out.append(line.text);
    }
    if (insertAt < 0) {
        while (!out.isEmpty() && out.last().trimmed().isEmpty())
            out.removeLast();
        if (!out.isEmpty())
            out.append(QString());
        out.append(u'[' + Section + u']');
        insertAt = out.size();
    }
    QStringList added;
    for (const auto& [key, value] : values) {
        const QString text = key + u'=' + singleLine(value);
        const qsizetype found = findKey(lines, key);
        if (found >= 0)
            out[found] = text;
        else
            added.append(text);
    }
    for (qsizetype i = 0; i < added.size(); ++i)
        out.insert(insertAt + i, added.at(i));
    return (out.join(u'\n') + u'\n').toUtf8();
}

} // namespace

QString iniPath()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty())
        return QString();
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return config + QStringLiteral("/zorvane/") + program + QStringLiteral(".ini");
}

PersistedValues read(const QString& path, const QString& defaultFolder)
{
    const QList<IniLine> lines = parse(readFile(path));
    PersistedValues values;
    values.initialDir = textOr(lines, QStringLiteral("InitialDir"), defaultFolder);
    values.lastOpenDir = textOr(lines, QStringLiteral("LastOpenDir"), defaultFolder);
    values.lastOpenFilter = positionOr1(lines, QStringLiteral("LastOpenFilter"));
    values.lastOpenFile = profileString(lines, QStringLiteral("LastOpenFile"));
    values.lastSaveDir = textOr(lines, QStringLiteral("LastSaveDir"), defaultFolder);
    values.lastSaveFilter = positionOr1(lines, QStringLiteral("LastSaveFilter"));
    values.lastSaveFile = profileString(lines, QStringLiteral("LastSaveFile"));
    return values;
}

bool write(const QString& path, const PersistedValues& values)
{
    if (path.isEmpty() || !AtomicFile::makeFolder(QFileInfo(path).absolutePath()))
        return false;
    const QList<KeyValue> keys{
        {QStringLiteral("InitialDir"), values.initialDir},
        {QStringLiteral("LastOpenDir"), values.lastOpenDir},
        {QStringLiteral("LastOpenFilter"), QString::number(values.lastOpenFilter)},
        {QStringLiteral("LastOpenFile"), values.lastOpenFile},
        {QStringLiteral("LastSaveDir"), values.lastSaveDir},
        {QStringLiteral("LastSaveFilter"), QString::number(values.lastSaveFilter)},
        {QStringLiteral("LastSaveFile"), values.lastSaveFile},
    };
    return AtomicFile::write(path, withValues(parse(readFile(path)), keys), 0600);
}

} // namespace DialogsIni

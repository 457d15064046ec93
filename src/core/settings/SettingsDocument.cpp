#include "core/settings/SettingsDocument.h"

#include <optional>

namespace {

const QChar Separator = u'\\';
const QChar Quote = u'"';
const QString DefaultValueName = QStringLiteral("@");

enum class Role
{
    Name,
    Text,
    Path
};

// Key paths are looked up by their case-folded form: a file of many keys must
// not take a comparison with every other key per line.
QString indexName(const QString& path)
{
    return path.toCaseFolded();
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f;
}

QString parentOf(const QString& path)
{
    const qsizetype cut = path.lastIndexOf(Separator);
    return cut < 0 ? QString() : path.left(cut);
}

bool needsQuoting(const QString& s, Role role)
{
    if (s.isEmpty())
        return role == Role::Name;
    if (s.front() == Quote || s.front().isSpace() || s.back().isSpace())
        return true;
    if (std::any_of(s.begin(), s.end(), isControl))
        return true;
    switch (role) {
    case Role::Name:
        return s == DefaultValueName || s.contains(u'=') || s.front() == u'[' || s.front() == u';' || s.front() == u'#';
    case Role::Path:
        return s.contains(u']');
    case Role::Text:
        return false;
    }
    return false;
}

QString quoted(const QString& s)
{
    QString out;
    out.reserve(s.size() + 2);
    out += Quote;
    for (QChar c : s) {
        switch (c.unicode()) {
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        default:
            if (isControl(c))
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
            else
                out += c;
        }
    }
    out += Quote;
    return out;
}

QString written(const QString& s, Role role)
{
    return needsQuoting(s, role) ? quoted(s) : s;
}

struct Token
{
    QString text;
    qsizetype end; // index just past the closing quotation mark
};

// Reads a quoted token starting at line[pos] == '"'; nothing if it never closes.
std::optional<Token> readQuoted(QStringView line, qsizetype pos)
{
    QString text;
    for (qsizetype i = pos + 1; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == Quote)
            return Token{text, i + 1};
        if (c != u'\\' || i + 1 >= line.size()) {
            text += c;
            continue;
        }
        const QChar e = line[++i];
        if (e == u'n')
            text += u'\n';
        else if (e == u'r')
            text += u'\r';
        else if (e == u't')
            text += u'\t';
        else if (e == u'x' && i + 2 < line.size()) {
            bool ok = false;
            const ushort code = line.mid(i + 1, 2).toUShort(&ok, 16);
            if (!ok)
                return std::nullopt;
            text += QChar(code);
            i += 2;
        } else
            text += e;
    }
    return std::nullopt;
}

std::optional<QString> readSectionHeader(QStringView line)
{
    if (line.size() > 1 && line[1] == Quote) {
        const auto token = readQuoted(line, 1);
        if (!token || !line.mid(token->end).trimmed().startsWith(u']'))
            return std::nullopt;
        return token->text;
    }
    const qsizetype close = line.lastIndexOf(u']');
    if (close < 0)
        return std::nullopt;
    return line.mid(1, close - 1).trimmed().toString();
}

std::optional<SettingsDocument::Value> readValueLine(QStringView line)
{
    QString name;
    qsizetype eq;
    if (line.front() == Quote) {
        const auto token = readQuoted(line, 0);
        if (!token)
            return std::nullopt;
        name = token->text;
        eq = token->end;
        while (eq < line.size() && line[eq].isSpace())
            ++eq;
        if (eq >= line.size() || line[eq] != u'=')
            return std::nullopt;
    } else {
        eq = line.indexOf(u'=');
        if (eq <= 0)
            return std::nullopt;
        name = line.left(eq).trimmed().toString();
        if (name == DefaultValueName)
            name.clear();
    }
    const QStringView rest = line.mid(eq + 1).trimmed();
    if (rest.startsWith(Quote)) {
        const auto token = readQuoted(rest, 0);
        if (!token)
            return std::nullopt;
        return SettingsDocument::Value{name, token->text};
    }
    return SettingsDocument::Value{name, rest.toString()};
}

} // namespace

SettingsDocument::SettingsDocument()
    : m_keys{Key{}}
    , m_index{{QString(), 0}}
{}

bool SettingsDocument::isValidPath(const QString& path)
{
    if (path.isEmpty())
        return true;
    const QStringList levels = path.split(Separator);
    return std::none_of(levels.begin(), levels.end(), [](const QString& level) { return level.isEmpty(); });
}

SettingsDocument SettingsDocument::parse(const QByteArray& bytes)
{
    SettingsDocument doc;
    const QString content = QString::fromUtf8(bytes);
    qsizetype current = 0; // index into m_keys; -1 while under a header that could not be read
    for (QStringView line : QStringView(content).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.front() == u';' || line.front() == u'#')
            continue;
        if (line.front() == u'[') {
            const auto path = readSectionHeader(line);
            current = -1;
            if (path && isValidPath(*path)) {
                const Key& key = doc.ensureKey(*path);
                current = &key - doc.m_keys.constData();
            }
            continue;
        }
        if (current < 0)
            continue;
        if (const auto value = readValueLine(line))
            setValue(doc.m_keys[current], value->name, value->text);
    }
    return doc;
}

QByteArray SettingsDocument::serialize() const
{
    QString out;
    const auto writeValues = [&out](const Key& key) {
        for (const Value& value : key.values) {
            out += value.name.isEmpty() ? DefaultValueName : written(value.name, Role::Name);
            out += u'=';
            out += written(value.text, Role::Text);
            out += u'\n';
        }
    };
    writeValues(m_keys.first());
    for (qsizetype i = 1; i < m_keys.size(); ++i) {
        if (!out.isEmpty())
            out += u'\n';
        out += u'[' + written(m_keys[i].path, Role::Path) + QStringLiteral("]\n");
        writeValues(m_keys[i]);
    }
    return out.toUtf8();
}

const SettingsDocument::Key* SettingsDocument::findKey(const QString& path) const
{
    const auto it = m_index.constFind(indexName(path));
    return it == m_index.constEnd() ? nullptr : &m_keys[*it];
}

SettingsDocument::Key* SettingsDocument::findKey(const QString& path)
{
    return const_cast<Key*>(std::as_const(*this).findKey(path));
}

SettingsDocument::Key& SettingsDocument::ensureKey(const QString& path)
{
    if (Key* key = findKey(path))
        return *key;
    ensureKey(parentOf(path));
    m_index.insert(indexName(path), m_keys.size());
    m_keys.append(Key{path, {}});
    return m_keys.last();
}

bool SettingsDocument::removeKey(const QString& path)
{
    if (path.isEmpty() || !subkeys(path).isEmpty())
        return false;
    const Key* key = findKey(path);
    if (!key)
        return false;
    const qsizetype position = key - m_keys.constData();
    m_keys.removeAt(position);
    m_index.remove(indexName(path));
    for (qsizetype& later : m_index) {
        if (later > position)
            --later;
    }
    return true;
}

QStringList SettingsDocument::subkeys(const QString& path) const
{
    QStringList names;
    for (qsizetype i = 1; i < m_keys.size(); ++i) {
        const QString& candidate = m_keys[i].path;
        if (sameName(parentOf(candidate), path))
            names.append(candidate.mid(candidate.lastIndexOf(Separator) + 1));
    }
    return names;
}

const SettingsDocument::Value* SettingsDocument::findValue(const Key& key, const QString& name)
{
    const auto it =
        std::find_if(key.values.begin(), key.values.end(), [&](const Value& v) { return sameName(v.name, name); });
    return it == key.values.end() ? nullptr : &*it;
}

void SettingsDocument::setValue(Key& key, const QString& name, const QString& text)
{
    if (const Value* existing = findValue(key, name))
        key.values[existing - key.values.constData()].text = text;
    else
        key.values.append(Value{name, text});
}

bool SettingsDocument::removeValue(Key& key, const QString& name)
{
    const Value* existing = findValue(key, name);
    if (!existing)
        return false;
    key.values.removeAt(existing - key.values.constData());
    return true;
}

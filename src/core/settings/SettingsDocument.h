#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// One settings file as a tree of keys holding named text values, the shape of a
// registry branch. Key paths are relative to the application key ("" is the
// application key itself) with "\" between levels; names compare without regard
// to case and keep the case they were first written with. The value named ""
// is the key's unnamed default value.
//
// On disk it is INI text: "[path]" opens a key, "name=text" sets a value and
// "@=text" the default value. A name or text that would not survive that plainly
// (edge blanks, control characters, a leading quotation mark, "=" in a name) is
// written in double quotation marks with backslash escapes. Parsing is lenient:
// lines it cannot read are passed over and everything else is kept.
class SettingsDocument
{
public:
    struct Value
    {
        QString name;
        QString text;
    };
    struct Key
    {
        QString path;
        QList<Value> values;
    };

    SettingsDocument();

    static SettingsDocument parse(const QByteArray& bytes);
    QByteArray serialize() const;

    // False for paths with an empty level ("a\\b", "\a", "a\").
    static bool isValidPath(const QString& path);

    const Key* findKey(const QString& path) const;
    Key* findKey(const QString& path);
    // Finds or creates the key and every missing key above it; path must be valid.
    Key& ensureKey(const QString& path);
    // Removes a key that has no subkeys; false if it is missing, has subkeys or is
    // the application key.
    bool removeKey(const QString& path);
    // Names (last level only) of the direct subkeys of path, in file order.
    QStringList subkeys(const QString& path) const;

    static const Value* findValue(const Key& key, const QString& name);
    static void setValue(Key& key, const QString& name, const QString& text);
    static bool removeValue(Key& key, const QString& name);

private:
    QList<Key> m_keys;                 // m_keys[0] is always the application key
    QHash<QString, qsizetype> m_index; // case-folded path to its place in m_keys
};

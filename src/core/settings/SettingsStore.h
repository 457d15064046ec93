#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Named text values in sections below "Software\<Company>\<AppName>" of the
// current user's settings tree. The tree of one application lives in
// $XDG_CONFIG_HOME/<Company>/<AppName>.conf. Nothing is cached: every call reads
// the file afresh, and every change rewrites it atomically under a lock, so
// instances and processes always see each other's writes. A change that leaves
// the tree as it was writes nothing.
class SettingsStore
{
public:
    // Roots a caller may enumerate: the user's own tree, or the system-wide one.
    enum class RootKey
    {
        CurrentUser,
        LocalMachine
    };

    struct SettingRow
    {
        QString name;
        QString text;
    };

    SettingsStore();

    QString company() const { return m_company; }
    // Stores the text without edge blanks; empty text restores the default.
    void setCompany(const QString& company);
    QString appName() const { return m_appName; }
    void setAppName(const QString& appName);

    // Key "*" (and "") stands for the section's unnamed default value.
    QString value(const QString& section, const QString& key, const QString& defaultText = QString()) const;
    // Creates the section and every missing key above it.
    bool setValue(const QString& section, const QString& key, const QString& text);
    // Several values of one section in one change: one write, and no process
    // ever reads some of them without the others.
    bool setValues(const QString& section, const QList<SettingRow>& rows);
    // With a key, removes that value ("*" the default value); with none, removes
    // the section itself, which must have no subsections.
    bool remove(const QString& section, const QString& key = QString());
    // The section's values in stored order; empty when the section is missing or
    // holds none.
    QList<SettingRow> values(const QString& section) const;
    // Direct subsections of section below the application key under root; with
    // section empty, the keys directly below root.
    QStringList subkeys(RootKey root, const QString& section) const;
    // Action 1 adds commandLine to the commands started at the next log-on (an
    // XDG autostart entry of that name), 0 removes it; anything else does nothing.
    bool runAtNextLogOn(const QString& name, const QString& commandLine, int action);

    // The file holding this Company's and AppName's tree under the user's root;
    // empty when either name cannot form a file name.
    QString fileName() const;

private:
    QString fileName(RootKey root) const;

    QString m_company;
    QString m_appName;
};

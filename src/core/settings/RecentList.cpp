#include "core/settings/RecentList.h"

#include "core/settings/SettingsKeys.h"
#include "core/settings/SettingsStore.h"

#include <QHash>

namespace RecentList {

namespace {
// A count edited by hand into the millions would otherwise freeze the window
// that loads the list.
constexpr int MaxLoaded = 1000;
} // namespace

QStringList load(const SettingsStore& settings, const QString& section)
{
    bool ok = false;
    const int count = settings.value(section, SettingsKeys::ListCount, QStringLiteral("0")).trimmed().toInt(&ok);
    QHash<QString, QString> stored;
    for (const SettingsStore::SettingRow& row : settings.values(section))
        stored.insert(row.name, row.text);
    QStringList entries;
    for (int i = 0; ok && i < std::min(count, MaxLoaded); ++i)
        entries.append(stored.value(QString::number(i)));
    return entries;
}

QList<SettingsStore::SettingRow> choose(const QStringList& entries, const QString& value, int capacity)
{
    QStringList list = entries;
    const qsizetype count = list.size();
    bool found = false;
    for (qsizetype i = 0; i < count; ++i) {
        if (list.at(i) == value) {
            found = true;
            list.move(i, 0);
        }
    }

    QList<SettingsStore::SettingRow> writes;
    if (found) {
        for (qsizetype i = 0; i < count; ++i)
            writes.append({QString::number(i), list.at(i)});
        return writes;
    }
    for (qsizetype i = count; i >= 1; --i)
        writes.append({QString::number(i), list.at(i - 1)});
    writes.append({QStringLiteral("0"), value});
    // Only the exact capacity stops the growth: a larger count stored by other
    // means is honoured as it is.
    if (count != capacity)
        writes.append({SettingsKeys::ListCount, QString::number(count + 1)});
    return writes;
}

} // namespace RecentList

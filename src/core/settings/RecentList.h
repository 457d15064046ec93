#pragma once

#include "core/settings/SettingsStore.h"

#include <QList>
#include <QString>
#include <QStringList>

// A most-recent-first list kept in one settings section: the count under
// "Number" and the entries under "0", "1", … (the extract-folder history and
// the saved passwords).
namespace RecentList {

// The entries under the keys "0" to "Number" - 1, in that order; a missing key
// gives an empty entry and a count that is not a number counts as 0.
QStringList load(const SettingsStore& settings, const QString& section);

// The values to save (in one go, setValues) that record value as the most
// recent. Entries equal to it (case-sensitive) move to the top and every
// key is rewritten in the new order, "Number" unchanged. A new value pushes
// each entry one key up and goes to "0"; "Number" grows unless the list holds
// exactly capacity entries, so a full list drops its oldest entry past its last
// key.
QList<SettingsStore::SettingRow> choose(const QStringList& entries, const QString& value, int capacity);

} // namespace RecentList

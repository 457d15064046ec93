#pragma once

#include <QString>

// Every section and key the program keeps in its settings file, so each name is
// spelt once. The values are what users find in the file; they must not change.
namespace SettingsKeys {

inline const QString General = QStringLiteral("General");
inline const QString FirstRun = QStringLiteral("First Run");
inline const QString NoInstructions = QStringLiteral("No Instructions");

inline const QString Options = QStringLiteral("Options");
inline const QString AssociateRarFiles = QStringLiteral("Associate Rar Files");
inline const QString ShellIntegration = QStringLiteral("Shell Integration");
inline const QString DefaultExtractFolder = QStringLiteral("Default Extract Folder");
inline const QString AutoOpen = QStringLiteral("Auto Open");

// The two values of DefaultExtractFolder.
inline const QString CurrentFolder = QStringLiteral("Current");
inline const QString LastUsedFolder = QStringLiteral("Last used");

// Recent lists: a "Number" key and the entries in order of use.
inline const QString ExtractFolders = QStringLiteral("Extract Folders");
inline const QString SavedPasswords = QStringLiteral("Saved Passwords");
inline const QString ListCount = QStringLiteral("Number");

} // namespace SettingsKeys

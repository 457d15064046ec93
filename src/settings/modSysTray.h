#pragma once

#include <QIcon>
#include <QString>
#include <QSystemTrayIcon>

class QMenu;
class QWidget;

// The program's one notification-area icon, which stands for the main window
// while that window is hidden. RunState::instance().InTray tells whether it does.
namespace modSysTray {

// What a mouse gesture on the icon does.
enum class TrayAction
{
    None,
    Restore,
    ShowMenu
};

// The longest tip the notification area shows, in UTF-16 units.
constexpr qsizetype TipLength = 63;

// The tip as shown: Tip up to its first zero character, cut to TipLength
// without splitting a surrogate pair.
QString TrayTip(const QString& Tip);

// Only the icon of a hidden window reacts: a double click restores it, the
// menu gesture opens the tray menu. The desktop decides when the right button
// makes that gesture: status-notifier hosts on release, XEmbed trays on press.
TrayAction TrayActionFor(QSystemTrayIcon::ActivationReason reason, bool blnInTray);

// The icon itself, made on first use and kept, with its tip and picture,
// until the application ends.
QSystemTrayIcon* TrayIconData();

// Shows Icon with Tip in the notification area and hides Owner's window there.
// Without a notification area the window is minimised instead: hidden, nothing
// would be left to bring it back with.
void AddTrayIcon(QWidget* Owner, const QString& Tip, const QIcon& Icon);

// The window's side of AddTrayIcon once the icon is shown: out of the task
// list for good, InTray set, hidden.
void HideToTray(QWidget* Owner);

// Removes the icon; the window is left as it is.
void DeleteTrayIcon();

// Removes the icon, shows the window again and clears InTray.
void RestoreFromTray();

// The menu opened at the mouse by the menu gesture; the caller keeps it.
void SetTrayMenu(QMenu* mnuTray);

} // namespace modSysTray

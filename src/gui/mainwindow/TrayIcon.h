#pragma once

#include <QIcon>
#include <QString>
#include <QSystemTrayIcon>

class QWidget;

// The program's one notification-area icon, which stands for the main window
// while that window is hidden. isInTray() tells whether it does.
namespace TrayIcon {

// The mouse messages the icon reports to its window.
constexpr qint32 LeftButtonUp = 0x202;
constexpr qint32 LeftDoubleClick = 0x203;
constexpr qint32 RightButtonUp = 0x205;
constexpr qint32 MiddleButtonUp = 0x208;

// The longest tip the notification area shows, in UTF-16 units.
constexpr qsizetype TipLength = 63;

// The tip as shown: tip up to its first zero character, cut to TipLength
// without splitting a surrogate pair.
QString shownTip(const QString& tip);

// The mouse message a gesture on the icon stands for. The desktop decides when
// the right button makes the menu gesture: status-notifier hosts on release,
// XEmbed trays on press; either way it is reported as the right button's release.
// A single activation restores like the double click: status-notifier hosts
// (KDE Plasma, GNOME's extension) report nothing else.
qint32 messageFor(QSystemTrayIcon::ActivationReason reason);

// The icon itself, made on first use and kept, with its tip and picture,
// until the application ends. Its activated() signal carries the gestures.
QSystemTrayIcon* icon();

// Shows picture with tip in the notification area and hides owner's window there.
// Without a notification area the window is minimised instead: hidden, nothing
// would be left to bring it back with.
void add(QWidget* owner, const QString& tip, const QIcon& picture);

// The window's side of add() once the icon is shown: out of the task list
// for good, in the tray, hidden.
void hideToTray(QWidget* owner);

// Whether the window sits in the notification area.
bool isInTray();

// Removes the icon; the window is left as it is.
void remove();

// Removes the icon, shows the window again: no longer in the tray.
void restoreFromTray();

} // namespace TrayIcon

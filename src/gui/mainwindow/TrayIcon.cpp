#include "gui/mainwindow/TrayIcon.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

namespace TrayIcon {

namespace {

struct TrayModule
{
    QPointer<QSystemTrayIcon> icon;
    QPointer<QWidget> owner;
    bool inTray = false;
};

TrayModule& tray()
{
    static TrayModule module;
    return module;
}

} // namespace

QString shownTip(const QString& tip)
{
    QString shown = tip.left(tip.indexOf(QChar(u'\0')));
    if (shown.size() > TipLength) {
        shown.truncate(TipLength);
        if (shown.back().isHighSurrogate())
            shown.chop(1);
    }
    return shown;
}

qint32 messageFor(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    // Status-notifier hosts report a single activation, never a double click.
    case QSystemTrayIcon::DoubleClick:
    case QSystemTrayIcon::Trigger:
        return LeftDoubleClick;
    case QSystemTrayIcon::Context:
        return RightButtonUp;
    case QSystemTrayIcon::MiddleClick:
        return MiddleButtonUp;
    default:
        return LeftButtonUp;
    }
}

QSystemTrayIcon* icon()
{
    TrayModule& module = tray();
    if (!module.icon) {
        module.icon = new QSystemTrayIcon;
        // Removed while the application can still take the icon off the desktop.
        qAddPostRoutine([] { delete tray().icon; });
    }
    return module.icon;
}

void add(QWidget* owner, const QString& tip, const QIcon& picture)
{
    if (owner == nullptr)
        return;
    QSystemTrayIcon* trayIcon = icon();
    trayIcon->setToolTip(shownTip(tip));
    trayIcon->setIcon(picture);
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        owner->window()->showMinimized();
        return;
    }
    trayIcon->show();
    hideToTray(owner);
}

void hideToTray(QWidget* owner)
{
    QWidget* window = owner->window();
    tray().owner = window;
    // A tool window has no task-list entry on most desktops. Qt would also stop
    // counting it among the windows whose closing ends the program.
    window->setWindowFlag(Qt::Tool);
    window->setAttribute(Qt::WA_QuitOnClose, true);
    tray().inTray = true;
    window->hide();
}

bool isInTray()
{
    return tray().inTray;
}

void remove()
{
    if (tray().icon)
        tray().icon->hide();
}

void restoreFromTray()
{
    remove();
    if (QWidget* window = tray().owner) {
        // Back where the user left it, and in front: they just asked for it.
        window->show();
        window->raise();
        window->activateWindow();
    }
    tray().inTray = false;
}

} // namespace TrayIcon

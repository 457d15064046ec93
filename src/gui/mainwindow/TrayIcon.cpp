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

QString TrayTip(const QString& Tip)
{
    QString strTip = Tip.left(Tip.indexOf(QChar(u'\0')));
    if (strTip.size() > TipLength) {
        strTip.truncate(TipLength);
        if (strTip.back().isHighSurrogate())
            strTip.chop(1);
    }
    return strTip;
}

qint32 TrayMessageFor(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    // Status-notifier hosts report a single activation, never a double click.
    case QSystemTrayIcon::DoubleClick:
    case QSystemTrayIcon::Trigger:
        return TrayLeftDoubleClick;
    case QSystemTrayIcon::Context:
        return TrayRightUp;
    case QSystemTrayIcon::MiddleClick:
        return TrayMiddleUp;
    default:
        return TrayLeftUp;
    }
}

QSystemTrayIcon* TrayIconData()
{
    TrayModule& module = tray();
    if (!module.icon) {
        module.icon = new QSystemTrayIcon;
        // Removed while the application can still take the icon off the desktop.
        qAddPostRoutine([] { delete tray().icon; });
    }
    return module.icon;
}

void AddTrayIcon(QWidget* Owner, const QString& Tip, const QIcon& Icon)
{
    if (Owner == nullptr)
        return;
    QSystemTrayIcon* icon = TrayIconData();
    icon->setToolTip(TrayTip(Tip));
    icon->setIcon(Icon);
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        Owner->window()->showMinimized();
        return;
    }
    icon->show();
    HideToTray(Owner);
}

void HideToTray(QWidget* Owner)
{
    QWidget* window = Owner->window();
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

void DeleteTrayIcon()
{
    if (tray().icon)
        tray().icon->hide();
}

void RestoreFromTray()
{
    DeleteTrayIcon();
    if (QWidget* window = tray().owner) {
        // Back where the user left it, and in front: they just asked for it.
        window->show();
        window->raise();
        window->activateWindow();
    }
    tray().inTray = false;
}

} // namespace TrayIcon

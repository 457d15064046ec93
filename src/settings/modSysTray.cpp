#include "settings/modSysTray.h"

#include "engine/RunState.h"

#include <QCoreApplication>
#include <QCursor>
#include <QMenu>
#include <QPointer>
#include <QWidget>

namespace modSysTray {

namespace {

struct TrayModule
{
    QPointer<QSystemTrayIcon> icon;
    QPointer<QWidget> owner;
    QPointer<QMenu> menu;
};

TrayModule& tray()
{
    static TrayModule module;
    return module;
}

void TrayIcon_Activated(QSystemTrayIcon::ActivationReason reason)
{
    switch (TrayActionFor(reason, RunState::instance().InTray)) {
    case TrayAction::Restore:
        RestoreFromTray();
        break;
    case TrayAction::ShowMenu:
        if (tray().menu)
            tray().menu->popup(QCursor::pos());
        break;
    case TrayAction::None:
        break;
    }
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

TrayAction TrayActionFor(QSystemTrayIcon::ActivationReason reason, bool blnInTray)
{
    if (!blnInTray)
        return TrayAction::None;
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        return TrayAction::Restore;
    case QSystemTrayIcon::Context:
        return TrayAction::ShowMenu;
    default:
        return TrayAction::None;
    }
}

QSystemTrayIcon* TrayIconData()
{
    TrayModule& module = tray();
    if (!module.icon) {
        module.icon = new QSystemTrayIcon;
        QObject::connect(module.icon, &QSystemTrayIcon::activated, &TrayIcon_Activated);
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
    // A tool window has no task-list entry on most desktops.
    window->setWindowFlag(Qt::Tool);
    RunState::instance().InTray = true;
    window->hide();
}

void DeleteTrayIcon()
{
    if (tray().icon)
        tray().icon->hide();
}

void RestoreFromTray()
{
    DeleteTrayIcon();
    if (tray().owner)
        tray().owner->show();
    RunState::instance().InTray = false;
}

void SetTrayMenu(QMenu* mnuTray)
{
    tray().menu = mnuTray;
}

} // namespace modSysTray

#pragma once

#include <QObject>

class QAction;
class QMenu;
class QPoint;
class QWidget;

// The program's two pop-up menus: `main`, behind the main window's menu link,
// and `tray`, behind the notification-area icon. Items that only show
// something (options, help, About, the web site) are handled here; the rest
// are signals for the main window.
class AppMenus : public QObject
{
    Q_OBJECT

public:
    // window: the parent of the menus and of the windows they open.
    explicit AppMenus(QWidget* window);

    // Pop the menus up at pos, with "&Open" and "Restore" as their default items.
    void popupMain(const QPoint& pos);
    void popupTray(const QPoint& pos);
    // The tray's Exit is out of reach while a run is in progress.
    void setTrayExitEnabled(bool enabled);

signals:
    void openRequested();
    void updateCheckRequested();
    void tipsRequested();
    void exitRequested();
    void restoreRequested();
    void trayExitRequested();

private:
    void buildMainMenu();
    void buildTrayMenu();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption, void (AppMenus::*handler)());
    void showOptions();
    void showHelp();
    void showAbout();
    void openWebSite();

    QWidget* m_window;
    QMenu* m_main;
    QMenu* m_tray;
    QAction* m_openItem = nullptr;
    QAction* m_restoreItem = nullptr;
    QAction* m_trayExitItem = nullptr;
};

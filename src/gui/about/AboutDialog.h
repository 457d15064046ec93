#pragma once

#include <QDialog>

class MainWindow;
class QAction;
class ClickableLabel;
class QLabel;
class QMenu;
class QPushButton;

// The About window, and the holder of the program's two pop-up menus: `main`,
// behind the main window's menu link, and `tray`, behind the notification-area
// icon. It stays hidden unless shown as the About window; closing that with OK
// unloads it, and the next menu loads it again.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    // Link targets: the publisher's site and the two mail links.
    static QString WebSiteTarget();
    static QString SupportTarget();
    static QString FeedbackTarget();
    // The HTML help at its start page.
    static QString HelpTarget();

    explicit AboutDialog(MainWindow* mainWindow);

    // Pop the menus up at pos, with "&Open" and "Restore" as their default items.
    void PopupMain(const QPoint& pos);
    void PopupTray(const QPoint& pos);
    // The tray's Exit is out of reach while a run is in progress.
    void setTrayExitEnabled(bool blnEnabled);

    QMenu* main;
    QMenu* tray;

private:
    void Form_Load();
    void buildMenus();
    void openLink(const QString& strTarget, const QString& strError);

    void mnuOpen_Click();
    void mnuopt_Click();
    void mnuupd_Click();
    void mnuhelp_Click();
    void mnuTips_Click();
    void mnuabout_Click();
    void mnuweblink_Click();
    void mnuexit_Click();
    void mnutrayrest_Click();
    void mnutrayex_Click();

    MainWindow* m_mainWindow;
    QPushButton* Command1;
    QLabel* lblversion;
    ClickableLabel* Label5;
    ClickableLabel* Label7;
    ClickableLabel* Label9;
    QAction* mnuOpen = nullptr;
    QAction* mnutrayrest = nullptr;
    QAction* mnutrayex = nullptr;
};

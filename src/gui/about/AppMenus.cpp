#include "gui/about/AppMenus.h"

#include "gui/about/AboutDialog.h"
#include "gui/options/OptionsDialog.h"
#include "platform/DocumentLauncher.h"

#include <QMenu>

namespace {

void addSeparator(QMenu* menu, const char* name)
{
    menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}

} // namespace

AppMenus::AppMenus(QWidget* window)
    : QObject(window)
    , m_window(window)
    , m_main(new QMenu(QStringLiteral("main"), window))
    , m_tray(new QMenu(QStringLiteral("tray"), window))
{
    buildMainMenu();
    buildTrayMenu();
}

QAction* AppMenus::addItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

void AppMenus::buildMainMenu()
{
    m_main->setObjectName(QStringLiteral("main"));
    m_openItem = addItem(m_main, "mnuOpen", QStringLiteral("&Open"));
    connect(m_openItem, &QAction::triggered, this, &AppMenus::openRequested);
    addSeparator(m_main, "sep3");
    connect(addItem(m_main, "mnuopt", QStringLiteral("O&ptions")), &QAction::triggered, this, &AppMenus::showOptions);
    connect(addItem(m_main, "mnuupd", QStringLiteral("Check for &update...")), &QAction::triggered, this,
            &AppMenus::updateCheckRequested);
    addSeparator(m_main, "sep1");
    connect(addItem(m_main, "mnuhelp", QStringLiteral("&Help")), &QAction::triggered, this, &AppMenus::showHelp);
    connect(addItem(m_main, "mnuTips", QStringLiteral("&Tips")), &QAction::triggered, this, &AppMenus::tipsRequested);
    connect(addItem(m_main, "mnuabout", QStringLiteral("&About")), &QAction::triggered, this, &AppMenus::showAbout);
    connect(addItem(m_main, "mnuweblink", QStringLiteral("More &Cool Software")), &QAction::triggered, this,
            &AppMenus::openWebSite);
    addSeparator(m_main, "sep2");
    connect(addItem(m_main, "mnuexit", QStringLiteral("E&xit")), &QAction::triggered, this, &AppMenus::exitRequested);
    m_main->setDefaultAction(m_openItem);
}

void AppMenus::buildTrayMenu()
{
    m_tray->setObjectName(QStringLiteral("tray"));
    m_restoreItem = addItem(m_tray, "mnutrayrest", QStringLiteral("Restore"));
    connect(m_restoreItem, &QAction::triggered, this, &AppMenus::restoreRequested);
    addSeparator(m_tray, "sep5");
    connect(addItem(m_tray, "mnuTrayOpt", QStringLiteral("Options")), &QAction::triggered, this,
            &AppMenus::showOptions);
    addSeparator(m_tray, "sep6");
    connect(addItem(m_tray, "mnutrayhelp", QStringLiteral("Help")), &QAction::triggered, this, &AppMenus::showHelp);
    connect(addItem(m_tray, "mnutraytip", QStringLiteral("Tips")), &QAction::triggered, this, &AppMenus::tipsRequested);
    connect(addItem(m_tray, "mnutrayabt", QStringLiteral("About")), &QAction::triggered, this, &AppMenus::showAbout);
    connect(addItem(m_tray, "mnutrayweblnk", QStringLiteral("More Cool Software")), &QAction::triggered, this,
            &AppMenus::openWebSite);
    addSeparator(m_tray, "sep4");
    m_trayExitItem = addItem(m_tray, "mnutrayex", QStringLiteral("Exit"));
    connect(m_trayExitItem, &QAction::triggered, this, &AppMenus::trayExitRequested);
    m_tray->setDefaultAction(m_restoreItem);
}

void AppMenus::popupMain(const QPoint& pos)
{
    m_main->popup(pos, m_openItem);
}

void AppMenus::popupTray(const QPoint& pos)
{
    m_tray->popup(pos, m_restoreItem);
}

void AppMenus::setTrayExitEnabled(bool enabled)
{
    m_trayExitItem->setEnabled(enabled);
}

void AppMenus::showOptions()
{
    OptionsDialog options(m_window);
    options.exec();
}

// The help viewer's result is not looked at: a help page that cannot be shown
// has nothing better to offer.
void AppMenus::showHelp()
{
    DocumentLauncher::open(AboutDialog::HelpTarget());
}

void AppMenus::showAbout()
{
    AboutDialog about(m_window);
    about.exec();
}

void AppMenus::openWebSite()
{
    AboutDialog::openLink(m_window, AboutDialog::WebSiteTarget(), QStringLiteral("Error opening Web browser."));
}

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

QAction* AppMenus::addItem(QMenu* menu, const char* name, const QString& caption, void (AppMenus::*handler)())
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void AppMenus::buildMainMenu()
{
    m_main->setObjectName(QStringLiteral("main"));
    m_openItem = addItem(m_main, "mnuOpen", QStringLiteral("&Open"), &AppMenus::openRequested);
    addSeparator(m_main, "sep3");
    addItem(m_main, "mnuopt", QStringLiteral("O&ptions"), &AppMenus::showOptions);
    addItem(m_main, "mnuupd", QStringLiteral("Check for &update..."), &AppMenus::updateCheckRequested);
    addSeparator(m_main, "sep1");
    addItem(m_main, "mnuhelp", QStringLiteral("&Help"), &AppMenus::showHelp);
    addItem(m_main, "mnuTips", QStringLiteral("&Tips"), &AppMenus::tipsRequested);
    addItem(m_main, "mnuabout", QStringLiteral("&About"), &AppMenus::showAbout);
    addItem(m_main, "mnuweblink", QStringLiteral("More &Cool Software"), &AppMenus::openWebSite);
    addSeparator(m_main, "sep2");
    addItem(m_main, "mnuexit", QStringLiteral("E&xit"), &AppMenus::exitRequested);
    m_main->setDefaultAction(m_openItem);
}

void AppMenus::buildTrayMenu()
{
    m_tray->setObjectName(QStringLiteral("tray"));
    m_restoreItem = addItem(m_tray, "mnutrayrest", QStringLiteral("Restore"), &AppMenus::restoreRequested);
    addSeparator(m_tray, "sep5");
    addItem(m_tray, "mnuTrayOpt", QStringLiteral("Options"), &AppMenus::showOptions);
    addSeparator(m_tray, "sep6");
    addItem(m_tray, "mnutrayhelp", QStringLiteral("Help"), &AppMenus::showHelp);
    addItem(m_tray, "mnutraytip", QStringLiteral("Tips"), &AppMenus::tipsRequested);
    addItem(m_tray, "mnutrayabt", QStringLiteral("About"), &AppMenus::showAbout);
    addItem(m_tray, "mnutrayweblnk", QStringLiteral("More Cool Software"), &AppMenus::openWebSite);
    addSeparator(m_tray, "sep4");
    m_trayExitItem = addItem(m_tray, "mnutrayex", QStringLiteral("Exit"), &AppMenus::trayExitRequested);
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
    DocumentLauncher::open(AboutDialog::helpTarget());
}

void AppMenus::showAbout()
{
    AboutDialog about(m_window);
    about.exec();
}

void AppMenus::openWebSite()
{
    AboutDialog::openLink(m_window, AboutDialog::webSiteTarget(), QStringLiteral("Error opening Web browser."));
}

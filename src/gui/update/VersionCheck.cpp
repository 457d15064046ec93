#include "gui/update/VersionCheck.h"

#include "core/update/NetGrab.h"
#include "core/update/modVersion.h"
#include "gui/update/newversion.h"

#include <QMessageBox>
#include <QWidget>

VersionCheck::VersionCheck(QWidget* mainWindow)
    : QObject(mainWindow)
    , m_mainWindow(mainWindow)
    , ng(new NetGrab(this))
{
    ng->setObjectName(QStringLiteral("ng"));
    connect(ng, &NetGrab::DownloadComplete, this, &VersionCheck::ng_DownloadComplete);
}

void VersionCheck::Start()
{
    ng->DownloadStart(modVersion::VersionFileUrl(), NetGrab::ForceUpdate);
}

void VersionCheck::ng_DownloadComplete()
{
    const QString strVersion = modVersion::VersionText();
    const QString strOffered = modVersion::OfferedVersion(QString::fromUtf8(ng->Bytes()));
    if (modVersion::IsNewer(strOffered, strVersion)) {
        showUpdateWindow(strVersion, strOffered);
        return;
    }
    if (!frommenu)
        return;
    // On the heap: the main window may go, and its children with it, while the box waits.
    QPointer<QMessageBox> box =
        new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Latest Version"),
                        QStringLiteral("You have the latest version of the program."), QMessageBox::Ok, m_mainWindow);
    box->exec();
    delete box;
}

// One update window at a time: a later check refreshes the one already open.
void VersionCheck::showUpdateWindow(const QString& strInstalled, const QString& strOffered)
{
    if (!m_window)
        m_window = new newversion(m_mainWindow);
    m_window->ShowVersions(strInstalled, strOffered);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

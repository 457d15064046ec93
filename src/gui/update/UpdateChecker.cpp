#include "gui/update/UpdateChecker.h"

#include "core/update/AppVersion.h"
#include "core/update/Downloader.h"
#include "gui/update/UpdateDialog.h"

#include <QMessageBox>
#include <QWidget>

UpdateChecker::UpdateChecker(QWidget* mainWindow)
    : QObject(mainWindow)
    , m_mainWindow(mainWindow)
    , ng(new Downloader(this))
{
    ng->setObjectName(QStringLiteral("ng"));
    connect(ng, &Downloader::completed, this, &UpdateChecker::ng_DownloadComplete);
}

void UpdateChecker::Start()
{
    ng->start(AppVersion::versionFileUrl(), Downloader::ForceUpdate);
}

void UpdateChecker::ng_DownloadComplete()
{
    const QString strVersion = AppVersion::text();
    const QString strOffered = AppVersion::offeredVersion(QString::fromUtf8(ng->bytes()));
    if (AppVersion::isNewer(strOffered, strVersion)) {
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
void UpdateChecker::showUpdateWindow(const QString& strInstalled, const QString& strOffered)
{
    if (!m_window)
        m_window = new UpdateDialog(m_mainWindow);
    m_window->ShowVersions(strInstalled, strOffered);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

#include "gui/update/UpdateChecker.h"

#include "core/update/AppVersion.h"
#include "core/update/Downloader.h"
#include "gui/update/UpdateDialog.h"

#include <QMessageBox>
#include <QWidget>

UpdateChecker::UpdateChecker(QWidget* mainWindow)
    : QObject(mainWindow)
    , m_mainWindow(mainWindow)
    , m_downloader(new Downloader(this))
{
    m_downloader->setObjectName(QStringLiteral("ng"));
    connect(m_downloader, &Downloader::completed, this, &UpdateChecker::showResult);
}

void UpdateChecker::start()
{
    m_downloader->start(AppVersion::versionFileUrl(), Downloader::ForceUpdate);
}

void UpdateChecker::showResult()
{
    const QString installed = AppVersion::text();
    const QString offered = AppVersion::offeredVersion(QString::fromUtf8(m_downloader->bytes()));
    if (AppVersion::isNewer(offered, installed)) {
        showUpdateWindow(installed, offered);
        return;
    }
    if (!fromMenu)
        return;
    // On the heap: the main window may go, and its children with it, while the box waits.
    QPointer<QMessageBox> box =
        new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Latest Version"),
                        QStringLiteral("You have the latest version of the program."), QMessageBox::Ok, m_mainWindow);
    box->exec();
    delete box;
}

// One update window at a time: a later check refreshes the one already open.
void UpdateChecker::showUpdateWindow(const QString& installed, const QString& offered)
{
    if (!m_window)
        m_window = new UpdateDialog(m_mainWindow);
    m_window->showVersions(installed, offered);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

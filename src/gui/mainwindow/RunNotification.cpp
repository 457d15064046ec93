#include "gui/mainwindow/RunNotification.h"

#include "core/util/PathText.h"

#include <QDir>

RunNotification::Text RunNotification::textFor(qint32 fileCount, const QString& folder, bool errorsLogged)
{
    if (errorsLogged)
        return {QStringLiteral("Extraction ended with errors"),
                QStringLiteral("Extracted %1 file(s). The error log is waiting in Zorvane.").arg(fileCount)};
    return {QStringLiteral("Extraction done"), QStringLiteral("Extracted %1 file(s) to %2")
                                                   .arg(fileCount)
                                                   .arg(PathText::displayText(QDir::cleanPath(folder)))};
}

RunNotification::RunNotification(QObject* parent)
    : QObject(parent)
{
    connect(&m_notifier, &DesktopNotifier::openFolderRequested, this, &RunNotification::openFolderRequested);
    connect(&m_notifier, &DesktopNotifier::finished, this, [this] {
        --m_showing;
        emit finished();
    });
}

void RunNotification::send(qint32 fileCount, const QString& folder, bool errorsLogged)
{
    const Text text = textFor(fileCount, folder, errorsLogged);
    ++m_showing;
    m_notifier.notify(text.summary, text.body, fileCount > 0 ? folder : QString());
}

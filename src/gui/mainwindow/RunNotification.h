#pragma once

#include "platform/DesktopNotifier.h"

#include <QObject>
#include <QString>

// Tells the desktop how a run ended when the user was not looking (the main
// window in the notification area or not the active window), with "Open
// folder" where the notification server offers it.
class RunNotification : public QObject
{
    Q_OBJECT

public:
    struct Text
    {
        QString summary;
        QString body;
    };
    // folder: where the run's last file went.
    static Text textFor(qint32 fileCount, const QString& folder, bool errorsLogged);

    explicit RunNotification(QObject* parent = nullptr);

    void send(qint32 fileCount, const QString& folder, bool errorsLogged);
    // Whether a notification is still on screen (or on its way there).
    bool isShowing() const { return m_showing > 0; }

signals:
    void openFolderRequested(const QString& folder);
    // The notification went away, or none could be shown.
    void finished();

private:
    DesktopNotifier m_notifier;
    int m_showing = 0;
};

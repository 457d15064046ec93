#pragma once

#include <QObject>
#include <QPointer>

class NetGrab;
class newversion;
class QWidget;

// The main window's check for a newer version: fetches the publisher's version
// file in the background and, when it names a higher number, offers the update
// window. Failed checks show nothing; an up-to-date result is announced only
// when the user asked from the menu.
class VersionCheck : public QObject
{
    Q_OBJECT

public:
    // Owned by mainWindow, which also owns the update window and the boxes.
    explicit VersionCheck(QWidget* mainWindow);

    // Set by the menu before its check; the start-up check stays silent.
    bool frommenu = false;

    // Returns at once; a check still running is replaced.
    void Start();

private:
    void ng_DownloadComplete();
    void showUpdateWindow(const QString& strInstalled, const QString& strOffered);

    QWidget* m_mainWindow;
    NetGrab* ng;
    QPointer<newversion> m_window;
};

#pragma once

#include <QObject>
#include <QPointer>

class Downloader;
class UpdateDialog;
class QWidget;

// The main window's check for a newer version: fetches the publisher's version
// file in the background and, when it names a higher number, offers the update
// window. Failed checks show nothing; an up-to-date result is announced only
// when the user asked from the menu.
class UpdateChecker : public QObject
{
    Q_OBJECT

public:
    // Owned by mainWindow, which also owns the update window and the boxes.
    explicit UpdateChecker(QWidget* mainWindow);

    // Set by the menu before its check; the start-up check stays silent.
    bool frommenu = false;

    // Returns at once; a check still running is replaced.
    void Start();

private:
    void ng_DownloadComplete();
    void showUpdateWindow(const QString& strInstalled, const QString& strOffered);

    QWidget* m_mainWindow;
    Downloader* ng;
    QPointer<UpdateDialog> m_window;
};

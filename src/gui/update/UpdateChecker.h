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
    bool fromMenu = false;

    // Returns at once; a check still running is replaced.
    void start();

private:
    void showResult();
    void showUpdateWindow(const QString& installed, const QString& offered);

    QWidget* m_mainWindow;
    Downloader* m_downloader;
    QPointer<UpdateDialog> m_window;
};

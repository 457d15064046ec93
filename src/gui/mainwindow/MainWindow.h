#pragma once

#include "core/settings/SettingsStore.h"
#include "core/util/LaunchOptions.h"
#include "gui/mainwindow/MainWindowUi.h"
#include "gui/mainwindow/RunNotification.h"
#include "gui/prompts/DialogPrompts.h"

#include <QPointer>
#include <QStringList>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <memory>

class AppMenus;
class CommonDialogs;
class ErrorLogDialog;
class ExtractionRun;
class QLabel;
class QProgressBar;
class TipsDialog;
class UpdateChecker;

// The main window. Its start is the program's entry point: it takes the
// archive paths of the command line and extracts them in one run, showing the
// entry and volume being processed, a summary and, when something went wrong,
// the error log. Archives also arrive by drops and through the open dialog.
// The window is cut to the outline of its picture and brings its own close
// and to-tray buttons; it is moved by dragging its background.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // arguments: the archives of the command line, or the uninstall switch alone.
    void start(const QStringList& arguments);
    // The program's start from its command line: the archives as start()
    // takes them, or a run that asks for no folder (--extract-here,
    // --extract-to): no welcome, tips or update check, and the program ends
    // with the run (exit status 1 after errors, once the error log is closed).
    void launch(const LaunchOptions& options);
    // Extracts every archive of the list in order; returns when the run is
    // over. A run never starts while another is in progress.
    void extractArchives(const QStringList& archives);
    // Lets the user choose archives in the open dialog and extracts them.
    void openArchives();
    // The tips window, which keeps its place in the tips between openings.
    void showTips();
    // A mouse message of the notification-area icon; only the double click
    // and the right button's release do something, and only while in the tray.
    void handleTrayMessage(qint32 message);
    UpdateChecker* updateChecker() const { return m_updateChecker; }
    // The archives of the latest run, in order.
    QStringList archives() const { return m_archives; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void connectControls();
    void showForRuns();
    void quitAfterRun(int status);
    void connectRun();
    void uninstall();
    void greetAndShowTips();
    void acceptDrag(QDragMoveEvent* event);
    AppMenus& menus();
    void beginRun();
    void endRun();
    void setBusy(bool busy);
    ErrorLogDialog& errorLog();
    void showFileStarted(const QString& entryName, double size);
    void showProgress(int percent);
    void showVolume(const QString& volumeName);

    void showMainMenu();
    void openLastFolder();
    void openFolder(const QString& folder);
    void openLastFolderAndQuit();
    void sendToTray();
    void onTrayActivated(QSystemTrayIcon::ActivationReason reason);
    void checkForUpdate();
    void leaveFromTray();

    MainWindowUi m_ui;
    QTimer m_progressTimer;
    int m_pendingProgress = 0;

    DialogPrompts m_prompts{this};
    RunNotification m_notification;
    ExtractionRun* m_run = nullptr;
    UpdateChecker* m_updateChecker = nullptr;
    SettingsStore m_settings;
    QPointer<ErrorLogDialog> m_errorLog;
    AppMenus* m_menus = nullptr;
    TipsDialog* m_tips = nullptr;
    std::unique_ptr<CommonDialogs> m_dialogs;
    QStringList m_archives;
    bool m_running = false;
};

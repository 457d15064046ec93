#pragma once

#include <QWidget>
#include <functional>

class Downloader;
class QLabel;
class QPushButton;
class QTimer;

// Offers a newer version: downloads its Debian package into the user's private
// temporary folder, opens it with the desktop's package installer and ends the
// program so it can be replaced.
// Modeless; it deletes itself when closed, abandoning its download.
class UpdateDialog : public QWidget
{
    Q_OBJECT

public:
    explicit UpdateDialog(QWidget* parent = nullptr);

    // Fills the installed and the offered version labels.
    void showVersions(const QString& installed, const QString& offered);

    // The user's own temporary folder with a trailing "/": $XDG_RUNTIME_DIR
    // when it is private to the user, else a private folder of ours in the
    // shared one. Empty when neither can be had, so nothing is saved anywhere
    // another user could swap it.
    QString privateTempFolder() const;

    // What ends the program once the package went to the installer; the default stops
    // the process at once, without any window's close handling.
    void setExitAction(std::function<void()> action) { m_exitAction = std::move(action); }

private:
    void startDownload();
    void showProgress();
    void openInstaller();

    QLabel* m_icon;
    QLabel* m_announcement;
    QLabel* m_installedLabel;
    QLabel* m_offeredLabel;
    QLabel* m_instructions;
    QLabel* m_progressLabel;
    QPushButton* m_updateButton;
    QPushButton* m_cancelButton;
    QTimer* m_progressTimer;
    Downloader* m_downloader;
    QString m_progressText;
    int m_dots = 0;
    std::function<void()> m_exitAction;
};

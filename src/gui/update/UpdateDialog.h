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
    void ShowVersions(const QString& strInstalled, const QString& strOffered);

    // The user's own temporary folder with a trailing "/": $XDG_RUNTIME_DIR
    // when it is private to the user, else a private folder of ours in the
    // shared one. Empty when neither can be had, so nothing is saved anywhere
    // another user could swap it.
    QString gtp() const;

    // What ends the program once the package went to the installer; the default stops
    // the process at once, without any window's close handling.
    void setExitAction(std::function<void()> action) { m_exitAction = std::move(action); }

private:
    void bttnupdate_Click();
    void Timer1_Timer();
    void ng_DownloadComplete();

    QLabel* Picture1;
    QLabel* Label1;
    QLabel* lblold;
    QLabel* lblnew;
    QLabel* Label2;
    QLabel* lblprog;
    QPushButton* bttnupdate;
    QPushButton* bttncancel;
    QTimer* Timer1;
    Downloader* ng;
    QString strProgress;
    qint32 lngDots = 0;
    std::function<void()> m_exitAction;
};

#pragma once

#include "core/settings/SettingsStore.h"
#include "gui/prompts/DialogPrompts.h"

#include <QDateTime>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <memory>

class ArchiveSession;
class UpdateChecker;
class ClickableLabel;
class QLabel;
class QMimeData;
class QProgressBar;
class CommonDialogs;
class AboutDialog;
class TipsDialog;
class ErrorLogDialog;

// The main window. Its load handler is the program's entry point: it takes the
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
    void Form_Load(const QStringList& arguments);
    // Extracts every archive of arrstrArchives; returns when the run is over.
    // A run never starts while another is in progress.
    void ExtractArchives();
    void AddErrorLine(const QString& strText);
    // Lets the user choose archives in the open dialog and extracts them.
    void openfile();
    // The tips window, which keeps its place in the tips between openings.
    void ShowTips();
    // A mouse message of the notification-area icon; only the double click
    // and the right button's release do something, and only while in the tray.
    void TrayMessage(qint32 lngMessage);
    UpdateChecker* versionCheck() const { return m_versionCheck; }

    // How many characters of sFiles are vSearchChar.
    static qint16 countDelimiters(const QString& sFiles, QChar vSearchChar);
    // A dropped path with a doubled separator after its first two characters
    // loses one of them.
    static QString DroppedPath(const QString& strPath);
    // The local files of a drop, in its order; empty when it offers none.
    static QStringList DroppedArchives(const QMimeData* data);

    // The archives of the next run, in order.
    QStringList arrstrArchives;

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    void placeControls();
    void connectSession();
    void Uninstall();
    void StartupHousekeeping();
    void Form_OLEDragOver(QDragMoveEvent* event);
    AboutDialog& menus();
    void startRun();
    void endRun();
    void setBusy(bool blnBusy);
    ErrorLogDialog& errorLog();

    void objSession_OpenError(qint32& lngErrorNo, QString& strErrorMsg, QString& strFileName);
    void objSession_ProcessError(qint32& lngErrorNo, QString& strErrorMsg, QString& strFileName);
    void objSession_CommentError(qint32& lngErrorNo, QString& strErrorMsg, QString& strFileName);
    void objSession_ProcessingFile(QString& strFileName, double& dblFileSize, QDateTime& datFileTime,
                                   qint16& intMajorVer, qint16& intMinorVer, qint32& lngPackingMethod,
                                   qint32& lngFileAttr);
    void objSession_Progress(double& dblFileSize, double& dblExtracted);
    void objSession_NextVolumne(QString& strFileName, bool& blnContinue);
    void objSession_MissingFile(QString& strFileName, QString& strNewFilename);
    void objSession_MissingPassword(QString& strNewPassword);
    void objSession_cancelled();
    void objSession_EmptyPassword();
    void objSession_fileskipped();
    void objSession_gotpw(QString& pw, bool& useforall);
    void uncountFile();
    void showProgress(int intPercent);

    void Label3_Click();
    void Label5_Click();
    void Label6_Click();
    void Picture_MouseDown(ClickableLabel* picture, Qt::MouseButton button);
    void Picture_MouseUp(ClickableLabel* picture, Qt::MouseButton button);
    void Picture1_Click();
    void Picture2_Click();
    void trayIcon_Activated(QSystemTrayIcon::ActivationReason reason);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    ClickableLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    ClickableLabel* Label5 = nullptr;
    ClickableLabel* Label6 = nullptr;
    ClickableLabel* Picture1 = nullptr;
    ClickableLabel* Picture2 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    // 1 close up, 2 close down, 3 to-tray up, 4 to-tray down; from index 0.
    QList<QPixmap> ImageList1;
    QImage m_picture;
    QTimer m_progressTimer;
    int m_intPendingProgress = 0;

    DialogPrompts m_prompts{this};
    ArchiveSession* objSession = nullptr;
    UpdateChecker* m_versionCheck = nullptr;
    SettingsStore m_settings;
    QPointer<ErrorLogDialog> m_errorLog;
    QPointer<AboutDialog> m_menus;
    TipsDialog* m_tips = nullptr;
    std::unique_ptr<CommonDialogs> m_dialogs;
    bool m_running = false;
    bool blnButtonPressed = false;
    qint32 lngTrayMessage = 0;

    qint32 lngFileCount = 0;
    qint32 lngVolumeCount = 0;
    bool blnErrorsLogged = false;
    bool blnRunCancelled = false;
    QString strVolumeName;
    // The entry last counted as extracted, until a failure or skip takes it back.
    QString strCountedFile;
};

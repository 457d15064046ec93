#pragma once

#include "settings/CRegSettings.h"

#include <QDateTime>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class ArchiveSession;
class VersionCheck;
class ClickableLabel;
class QLabel;
class QProgressBar;
class frmerr;

// The main window. Its load handler is the program's entry point: it takes the
// archive paths of the command line and extracts them in one run, showing the
// entry and volume being processed, a summary and, when something went wrong,
// the error log.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // strArgumentText: the command line after the program's own path.
    void Form_Load(const QString& strArgumentText);
    // Extracts every archive of arrstrArchives; returns when the run is over.
    // A run never starts while another is in progress.
    void ExtractArchives();
    void AddErrorLine(const QString& strText);

    // The archives of the next run, in order.
    QStringList arrstrArchives;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void Uninstall();
    void startRun();
    void endRun();
    void setBusy(bool blnBusy);
    frmerr& errorLog();

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

    void Label5_Click();
    void Label6_Click();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    ClickableLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    ClickableLabel* Label5 = nullptr;
    ClickableLabel* Label6 = nullptr;
    ClickableLabel* Picture1 = nullptr;
    ClickableLabel* Picture2 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;

    ArchiveSession* objSession = nullptr;
    VersionCheck* m_versionCheck = nullptr;
    CRegSettings m_settings;
    QPointer<frmerr> m_errorLog;
    bool m_running = false;

    qint32 lngFileCount = 0;
    qint32 lngVolumeCount = 0;
    bool blnErrorsLogged = false;
    bool blnRunCancelled = false;
    QString strVolumeName;
};

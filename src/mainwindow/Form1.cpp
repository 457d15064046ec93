#include "mainwindow/Form1.h"

#include "engine/ArchiveSession.h"
#include "engine/RunState.h"
#include "engine/modSession.h"
#include "mainwindow/ClickableLabel.h"
#include "mainwindow/frmerr.h"
#include "settings/MShorttoLongName.h"
#include "settings/modAppPaths.h"
#include "settings/modAssociate.h"
#include "settings/modHelpLaunch.h"
#include "settings/modRegister.h"
#include "settings/modVbCmdLine.h"
#include "update/VersionCheck.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QProgressBar>
#include <QVBoxLayout>
#include <cmath>

namespace {

const QString Title = QStringLiteral("Zorvane");
const QString BusyTitle = QStringLiteral("Zorvane - Extracting Files");
const QString LinkStyle = QStringLiteral("color: palette(link); text-decoration: underline;");
const QString UninstallSwitch = QStringLiteral("/uninstalling");

void yield()
{
    QCoreApplication::processEvents();
}

QString afterLastSlash(const QString& path)
{
    return path.section(u'/', -1);
}

} // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Title);
    buildControls();
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    const auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setTextFormat(Qt::PlainText);
        return l;
    };
    const auto link = [this](const char* name, const QString& text) {
        auto* l = new ClickableLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setCursor(Qt::PointingHandCursor);
        return l;
    };
    Label1 = label("Label1", QString());
    Label1->setWordWrap(true);
    Label2 = label("Label2", QStringLiteral("Drop RAR archives on this window to extract them."));
    Label3 = link("Label3", QStringLiteral("Click me for menu"));
    Label3->setStyleSheet(LinkStyle);
    Label4 = label("Label4", QString());
    Label5 = link("Label5", QStringLiteral("Click to explore last used extract folder"));
    Label6 = link("Label6", QStringLiteral("Click to explore last used extract folder and exit"));
    Label5->setStyleSheet(LinkStyle);
    Label6->setStyleSheet(LinkStyle);
    Picture1 = link("Picture1", QStringLiteral("\u2715"));
    Picture1->setToolTip(QStringLiteral("Close"));
    Picture2 = link("Picture2", QStringLiteral("\u2013"));
    Picture2->setToolTip(QStringLiteral("Send to the notification area"));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);

    connect(Label5, &ClickableLabel::clicked, this, &Form1::Label5_Click);
    connect(Label6, &ClickableLabel::clicked, this, &Form1::Label6_Click);
    connect(Picture1, &ClickableLabel::clicked, qApp, &QApplication::closeAllWindows);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Label3);
    buttons->addStretch();
    buttons->addWidget(Picture2);
    buttons->addWidget(Picture1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(Label2);
    layout->addWidget(Label1);
    layout->addWidget(Label4);
    layout->addWidget(ProgressBar1);
    layout->addWidget(Label5);
    layout->addWidget(Label6);
    layout->addStretch();
    resize(460, 260);
}

void Form1::Form_Load(const QString& strArgumentText)
{
    // The check runs in the background; a newer version is offered whenever
    // its answer arrives, even during a run.
    m_versionCheck = new VersionCheck(this);
    m_versionCheck->Start();
    if (strArgumentText == UninstallSwitch) {
        Uninstall();
        return;
    }
    m_settings.setCompany(QStringLiteral("Quenmarsh"));
    m_settings.setAppName(QStringLiteral("Zorvane"));
    show();

    objSession = new ArchiveSession(this, this);
    connect(objSession, &ArchiveSession::OpenError, this, &Form1::objSession_OpenError);
    connect(objSession, &ArchiveSession::ProcessError, this, &Form1::objSession_ProcessError);
    connect(objSession, &ArchiveSession::CommentError, this, &Form1::objSession_CommentError);
    connect(objSession, &ArchiveSession::ProcessingFile, this, &Form1::objSession_ProcessingFile);
    connect(objSession, &ArchiveSession::Progress, this, &Form1::objSession_Progress);
    connect(objSession, &ArchiveSession::NextVolumne, this, &Form1::objSession_NextVolumne);
    connect(objSession, &ArchiveSession::MissingFile, this, &Form1::objSession_MissingFile);
    connect(objSession, &ArchiveSession::MissingPassword, this, &Form1::objSession_MissingPassword);
    connect(objSession, &ArchiveSession::cancelled, this, &Form1::objSession_cancelled);
    connect(objSession, &ArchiveSession::EmptyPassword, this, &Form1::objSession_EmptyPassword);
    connect(objSession, &ArchiveSession::fileskipped, this, &Form1::objSession_fileskipped);
    connect(objSession, &ArchiveSession::gotpw, this, &Form1::objSession_gotpw);

    Label5->hide();
    Label6->hide();
    if (strArgumentText.isEmpty())
        return;
    QStringList tokens;
    modVbCmdLine::SplitCommandLine(strArgumentText, tokens);
    show();
    arrstrArchives = tokens;
    ExtractArchives();
}

// Undoes the desktop integration and ends at once: no window, no setting.
void Form1::Uninstall()
{
    modAssociate::RemoveAssociation(QStringLiteral("Zorvane"), QStringLiteral(".rar"));
    modRegister::RegisterLibrary(modAppPaths::ShellExtensionLibrary(), false);
    QCoreApplication::quit();
}

void Form1::ExtractArchives()
{
    if (m_running || !objSession)
        return;
    // The run works on the list as it was when it started.
    const QStringList archives = arrstrArchives;
    RunState& run = RunState::instance();
    startRun();
    for (const QString& archive : archives) {
        yield();
        if (!run.UsePasswordForAll)
            run.CurrentPassword.clear();
        // A path that does not exist has no long form; the session is given
        // the path itself so that its error names the file.
        const QString longPath = MShorttoLongName::LongPathName(archive);
        const bool ok =
            objSession->ExtractRarFiles(longPath.isEmpty() ? archive : longPath, QString(), run.CurrentPassword);
        if (blnRunCancelled) {
            blnErrorsLogged = true;
            AddErrorLine(QStringLiteral("Operation cancelled. No extract folder selected."));
            break;
        }
        if (!ok) {
            blnErrorsLogged = true;
            AddErrorLine(QStringLiteral("Something went wrong. Wrong password?"));
            break;
        }
        strVolumeName = afterLastSlash(archive);
        Label1->setText(QStringLiteral("Processing volume: ") + strVolumeName);
    }
    endRun();
}

void Form1::startRun()
{
    RunState& run = RunState::instance();
    m_running = true;
    lngVolumeCount = 0;
    lngFileCount = 0;
    run.CurrentPassword.clear();
    run.ExtractFolder.clear();
    Label5->hide();
    Label6->hide();
    run.CreateFolderPerArchive = false;
    blnRunCancelled = false;
    strVolumeName.clear();
    delete m_errorLog;
    errorLog();
    blnErrorsLogged = false;
    run.UseFolderForAll = false;
    run.UsePasswordForAll = false;
    Label1->clear();
    setWindowTitle(BusyTitle);
    setBusy(true);
}

void Form1::endRun()
{
    RunState& run = RunState::instance();
    ProgressBar1->setValue(0);
    setWindowTitle(Title);
    Label1->setText(
        QStringLiteral("Done!\r\nExtracted %1 file(s) from %2 volume(s).").arg(lngFileCount).arg(lngVolumeCount));
    Label4->clear();
    if (lngFileCount != 0) {
        Label5->show();
        Label6->show();
    }
    if (run.InTray) {
        show();
        run.InTray = false;
    }
    raise();
    activateWindow();
    setBusy(false);
    m_running = false;
    if (blnErrorsLogged) {
        errorLog().exec();
        delete m_errorLog;
    } else if (run.AutoOpenFolder) {
        Label6_Click();
    }
}

// While busy the window cannot be closed and the menu is out of reach.
void Form1::setBusy(bool blnBusy)
{
    Picture1->setEnabled(!blnBusy);
    Label3->setEnabled(!blnBusy);
}

frmerr& Form1::errorLog()
{
    if (!m_errorLog)
        m_errorLog = new frmerr(this);
    return *m_errorLog;
}

void Form1::AddErrorLine(const QString& strText)
{
    errorLog().AddErrorLine(strText);
}

void Form1::closeEvent(QCloseEvent* event)
{
    if (m_running)
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void Form1::objSession_OpenError(qint32&, QString& strErrorMsg, QString& strFileName)
{
    AddErrorLine(QStringLiteral("Error Opening File: ") + strFileName + QStringLiteral(" - ") + strErrorMsg);
    blnErrorsLogged = true;
}

void Form1::objSession_ProcessError(qint32&, QString& strErrorMsg, QString& strFileName)
{
    AddErrorLine(QStringLiteral("Error Processing File: ") + strFileName + QStringLiteral(" - ") + strErrorMsg);
    blnErrorsLogged = true;
    --lngFileCount;
}

// A comment that cannot be read is worth a line, not an interruption.
void Form1::objSession_CommentError(qint32&, QString& strErrorMsg, QString& strFileName)
{
    AddErrorLine(QStringLiteral("Comment Error: ") + strFileName + QStringLiteral(" - ") + strErrorMsg);
}

void Form1::objSession_ProcessingFile(QString& strFileName, double& dblFileSize, QDateTime&, qint16&, qint16&, qint32&,
                                      qint32&)
{
    yield();
    Label4->setText(QStringLiteral("Extracting file: ") + modSession::FileNameFromPath(strFileName, true) + u' ' +
                    QString::number(dblFileSize, 'f', 0) + QStringLiteral(" bytes\r\n"));
    yield();
    ProgressBar1->setValue(0);
    ++lngFileCount;
}

// A share past 100 % (a header that understates the size) stays on a full bar.
void Form1::objSession_Progress(double& dblFileSize, double& dblExtracted)
{
    yield();
    const double share = dblFileSize > 0 ? dblExtracted / dblFileSize * 100.0 : 0.0;
    ProgressBar1->setValue(static_cast<int>(std::clamp(std::round(share), 0.0, 100.0)));
    yield();
}

void Form1::objSession_NextVolumne(QString& strFileName, bool& blnContinue)
{
    yield();
    strVolumeName = afterLastSlash(strFileName);
    Label1->setText(QStringLiteral("Processing volume: ") + strVolumeName);
    ++lngVolumeCount;
    blnContinue = true;
}

void Form1::objSession_MissingFile(QString& strFileName, QString& strNewFilename)
{
    AddErrorLine(QStringLiteral("Missing File: ") + strFileName);
    blnErrorsLogged = true;
    strNewFilename.clear();
}

void Form1::objSession_MissingPassword(QString& strNewPassword)
{
    strNewPassword.clear();
}

void Form1::objSession_cancelled()
{
    blnRunCancelled = true;
}

void Form1::objSession_EmptyPassword()
{
    AddErrorLine(QStringLiteral("No password supplied."));
    blnErrorsLogged = true;
}

void Form1::objSession_fileskipped()
{
    --lngFileCount;
}

void Form1::objSession_gotpw(QString& pw, bool&)
{
    RunState::instance().CurrentPassword = pw;
}

void Form1::Label5_Click()
{
    if (modHelpLaunch::LaunchDocument(this, RunState::instance().LastExtractFolder) ==
        modHelpLaunch::ResultNoAssociation)
        QMessageBox(QMessageBox::Warning, QStringLiteral("Error"), QStringLiteral("Error opening folder."),
                    QMessageBox::Ok, this)
            .exec();
}

void Form1::Label6_Click()
{
    Label5_Click();
    QApplication::closeAllWindows();
}

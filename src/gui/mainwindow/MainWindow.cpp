#include "gui/mainwindow/MainWindow.h"

#include "core/archive/ArchiveSession.h"
#include "core/archive/EventPump.h"
#include "core/archive/RunState.h"
#include "core/settings/SettingsKeys.h"
#include "core/util/PathText.h"
#include "gui/Application.h"
#include "gui/about/AboutDialog.h"
#include "gui/about/TipsDialog.h"
#include "gui/dialogs/CommonDialogs.h"
#include "gui/mainwindow/Artwork.h"
#include "gui/mainwindow/ClickableLabel.h"
#include "gui/mainwindow/ErrorLogDialog.h"
#include "gui/mainwindow/TrayIcon.h"
#include "gui/mainwindow/WindowShape.h"
#include "gui/options/OptionsDialog.h"
#include "gui/prompts/PasswordDialog.h"
#include "gui/update/UpdateChecker.h"
#include "platform/AppPaths.h"
#include "platform/DocumentLauncher.h"
#include "platform/ExtensionRegistration.h"
#include "platform/FileAssociation.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QTimer>
#include <QUrl>
#include <cmath>

namespace {

const QString Title = QStringLiteral("Zorvane");
const QString BusyTitle = QStringLiteral("Zorvane - Extracting Files");
const QString LinkStyle = QStringLiteral("color: palette(link); text-decoration: underline;");
const QString MenuLinkStyle = QStringLiteral("color: white; text-decoration: underline;");
const QString UninstallSwitch = QStringLiteral("/uninstalling");
constexpr int ProgressInterval = 50;

// "True"/"False" in any case, or a number (non-zero is true); anything else
// counts as the default.
bool truthValue(const QString& strValue, bool blnDefault)
{
    const QString value = strValue.trimmed();
    if (value.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (value.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? number != 0 : blnDefault;
}

QString afterLastSlash(const QString& path)
{
    return path.section(u'/', -1);
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Title);
    setAcceptDrops(true);
    buildControls();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
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
    const qreal dblRatio = devicePixelRatioF();
    m_picture = Artwork::FormPicture(dblRatio);
    for (int i = 1; i <= 4; ++i)
        ImageList1.append(Artwork::ButtonImage(i, dblRatio));

    // Dark text on the light picture, whatever the desktop's colour scheme.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor::fromRgb(Artwork::FormBackColor));
    colours.setColor(QPalette::WindowText, QColor(0x1d, 0x2b, 0x33));
    colours.setColor(QPalette::Link, QColor(0x1f, 0x5f, 0x74));
    setPalette(colours);

    Label1 = label("Label1", QString());
    Label1->setWordWrap(true);
    Label2 = label("Label2", QStringLiteral("Drop RAR archives on this window to extract them."));
    Label3 = link("Label3", QStringLiteral("Click me for menu"));
    Label3->setStyleSheet(MenuLinkStyle);
    Label4 = label("Label4", QString());
    Label4->setWordWrap(true);
    Label5 = link("Label5", QStringLiteral("Click to explore last used extract folder"));
    Label6 = link("Label6", QStringLiteral("Click to explore last used extract folder and exit"));
    Label5->setStyleSheet(LinkStyle);
    Label6->setStyleSheet(LinkStyle);
    Picture1 = link("Picture1", QString());
    Picture1->setPixmap(ImageList1.at(0));
    Picture1->setToolTip(QStringLiteral("Close"));
    Picture2 = link("Picture2", QString());
    Picture2->setPixmap(ImageList1.at(2));
    Picture2->setToolTip(QStringLiteral("Send to the notification area"));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    placeControls();
    m_progressTimer.setSingleShot(true);
    m_progressTimer.setInterval(ProgressInterval);
    connect(&m_progressTimer, &QTimer::timeout, this, [this] { ProgressBar1->setValue(m_intPendingProgress); });

    connect(Label3, &ClickableLabel::clicked, this, &MainWindow::Label3_Click);
    connect(Label5, &ClickableLabel::clicked, this, &MainWindow::Label5_Click);
    connect(Label6, &ClickableLabel::clicked, this, &MainWindow::Label6_Click);
    for (ClickableLabel* picture : {Picture1, Picture2}) {
        connect(picture, &ClickableLabel::mouseDown, this,
                [this, picture](Qt::MouseButton button) { Picture_MouseDown(picture, button); });
        connect(picture, &ClickableLabel::mouseUp, this,
                [this, picture](Qt::MouseButton button) { Picture_MouseUp(picture, button); });
    }
    connect(Picture1, &ClickableLabel::clicked, this, &MainWindow::Picture1_Click);
    connect(Picture2, &ClickableLabel::clicked, this, &MainWindow::Picture2_Click);
}

// The controls sit on the picture's header band and content panel.
void MainWindow::placeControls()
{
    setFixedSize(Artwork::FormPictureSize);
    Label3->setGeometry(110, 36, 160, 24);
    Picture2->setGeometry(QRect(QPoint(362, 36), Artwork::ButtonSize));
    Picture1->setGeometry(QRect(QPoint(394, 36), Artwork::ButtonSize));
    Label2->setGeometry(110, 76, 306, 18);
    Label1->setGeometry(24, 100, 392, 40);
    Label4->setGeometry(24, 146, 392, 48);
    ProgressBar1->setGeometry(24, 200, 392, 16);
    Label5->setGeometry(24, 226, 392, 18);
    Label6->setGeometry(24, 248, 392, 18);
}

void MainWindow::Form_Load(const QStringList& arguments)
{
    // The check runs in the background; a newer version is offered whenever
    // its answer arrives, even during a run.
    m_versionCheck = new UpdateChecker(this);
    m_versionCheck->Start();
    if (arguments == QStringList{UninstallSwitch}) {
        Uninstall();
        return;
    }
    m_settings.setCompany(QStringLiteral("Quenmarsh"));
    m_settings.setAppName(QStringLiteral("Zorvane"));
    WindowShape::TrimForm(this, m_picture);
    show();
    StartupHousekeeping();
    connectSession();

    Label5->hide();
    Label6->hide();
    if (arguments.isEmpty())
        return;
    show();
    arrstrArchives = arguments;
    ExtractArchives();
}

// A first start greets the user with the options; the tips come next unless
// they were turned off. "First Run" is cleared even when the options were
// cancelled, so the welcome comes once.
void MainWindow::StartupHousekeeping()
{
    if (truthValue(m_settings.GetSetting(SettingsKeys::General, SettingsKeys::FirstRun, QStringLiteral("True")),
                   true)) {
        QMessageBox(
            QMessageBox::Information, QStringLiteral("Welcome to Zorvane"),
            QStringLiteral("Since this is the first time you've used Zorvane, we need to configure it's options."),
            QMessageBox::Ok, this)
            .exec();
        OptionsDialog options(this);
        options.exec();
        m_settings.SaveSetting(SettingsKeys::General, SettingsKeys::FirstRun, QStringLiteral("False"));
    }
    bool ok = false;
    const int intNoInstructions =
        m_settings.GetSetting(SettingsKeys::General, SettingsKeys::NoInstructions, QStringLiteral("0")).toInt(&ok);
    if (!ok || intNoInstructions == 0)
        ShowTips();
}

void MainWindow::connectSession()
{
    objSession = new ArchiveSession(m_prompts, this);
    connect(objSession, &ArchiveSession::OpenError, this, &MainWindow::objSession_OpenError);
    connect(objSession, &ArchiveSession::ProcessError, this, &MainWindow::objSession_ProcessError);
    connect(objSession, &ArchiveSession::CommentError, this, &MainWindow::objSession_CommentError);
    connect(objSession, &ArchiveSession::ProcessingFile, this, &MainWindow::objSession_ProcessingFile);
    connect(objSession, &ArchiveSession::Progress, this, &MainWindow::objSession_Progress);
    connect(objSession, &ArchiveSession::NextVolumne, this, &MainWindow::objSession_NextVolumne);
    connect(objSession, &ArchiveSession::MissingFile, this, &MainWindow::objSession_MissingFile);
    connect(objSession, &ArchiveSession::MissingPassword, this, &MainWindow::objSession_MissingPassword);
    connect(objSession, &ArchiveSession::cancelled, this, &MainWindow::objSession_cancelled);
    connect(objSession, &ArchiveSession::EmptyPassword, this, &MainWindow::objSession_EmptyPassword);
    connect(objSession, &ArchiveSession::fileskipped, this, &MainWindow::objSession_fileskipped);
    connect(objSession, &ArchiveSession::gotpw, this, &MainWindow::objSession_gotpw);
}

// Undoes the desktop integration and ends at once: no window, no setting.
void MainWindow::Uninstall()
{
    FileAssociation::RemoveAssociation(QStringLiteral("Zorvane"), QStringLiteral(".rar"));
    ExtensionRegistration::RegisterLibrary(AppPaths::ShellExtensionLibrary(), false);
    QCoreApplication::quit();
}

void MainWindow::ExtractArchives()
{
    if (m_running || !objSession)
        return;
    // The run works on the list as it was when it started.
    const QStringList archives = arrstrArchives;
    RunState& run = RunState::instance();
    startRun();
    for (const QString& archive : archives) {
        EventPump::YieldToWindows();
        if (!run.UsePasswordForAll)
            run.CurrentPassword.clear();
        // A path that does not exist has no long form; the session is given
        // the path itself so that its error names the file.
        const QString longPath = PathText::absoluteExisting(archive);
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

void MainWindow::startRun()
{
    RunState& run = RunState::instance();
    m_running = true;
    lngVolumeCount = 0;
    lngFileCount = 0;
    strCountedFile = QString();
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

void MainWindow::endRun()
{
    RunState& run = RunState::instance();
    m_progressTimer.stop();
    ProgressBar1->setValue(0);
    setWindowTitle(Title);
    Label1->setText(
        QStringLiteral("Done!\r\nExtracted %1 file(s) from %2 volume(s).").arg(lngFileCount).arg(lngVolumeCount));
    Label4->clear();
    if (lngFileCount != 0) {
        Label5->show();
        Label6->show();
    }
    if (run.InTray)
        TrayIcon::RestoreFromTray();
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

// While busy the window cannot be closed and the menus' Open and Exit are out
// of reach.
void MainWindow::setBusy(bool blnBusy)
{
    Picture1->setEnabled(!blnBusy);
    Label3->setEnabled(!blnBusy);
    if (m_menus)
        m_menus->setTrayExitEnabled(!blnBusy);
}

ErrorLogDialog& MainWindow::errorLog()
{
    if (!m_errorLog)
        m_errorLog = new ErrorLogDialog(this);
    return *m_errorLog;
}

void MainWindow::AddErrorLine(const QString& strText)
{
    errorLog().AddErrorLine(strText);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_running)
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void MainWindow::objSession_OpenError(qint32&, QString& strErrorMsg, QString& strFileName)
{
    AddErrorLine(QStringLiteral("Error Opening File: ") + strFileName + QStringLiteral(" - ") + strErrorMsg);
    blnErrorsLogged = true;
}

void MainWindow::objSession_ProcessError(qint32&, QString& strErrorMsg, QString& strFileName)
{
    AddErrorLine(QStringLiteral("Error Processing File: ") + strFileName + QStringLiteral(" - ") + strErrorMsg);
    blnErrorsLogged = true;
    // Only the entry being extracted is taken off the count; a folder or an
    // archive that fails was never counted.
    if (strFileName == strCountedFile)
        uncountFile();
}

void MainWindow::uncountFile()
{
    if (strCountedFile.isNull())
        return;
    --lngFileCount;
    strCountedFile = QString();
}

// A comment that cannot be read is worth a line, not an interruption.
void MainWindow::objSession_CommentError(qint32&, QString& strErrorMsg, QString& strFileName)
{
    AddErrorLine(QStringLiteral("Comment Error: ") + strFileName + QStringLiteral(" - ") + strErrorMsg);
}

void MainWindow::objSession_ProcessingFile(QString& strFileName, double& dblFileSize, QDateTime&, qint16&, qint16&,
                                           qint32&, qint32&)
{
    EventPump::YieldToWindows();
    Label4->setText(QStringLiteral("Extracting file: ") +
                    PathText::displayText(PathText::fileNameOf(strFileName, true)) + u' ' +
                    QString::number(dblFileSize, 'f', 0) + QStringLiteral(" bytes\r\n"));
    EventPump::YieldToWindows();
    showProgress(0);
    ++lngFileCount;
    strCountedFile = strFileName;
}

// A share past 100 % (a header that understates the size) stays on a full bar.
void MainWindow::objSession_Progress(double& dblFileSize, double& dblExtracted)
{
    EventPump::YieldToWindows();
    const double share = dblFileSize > 0 ? dblExtracted / dblFileSize * 100.0 : 0.0;
    showProgress(static_cast<int>(std::clamp(std::round(share), 0.0, 100.0)));
    EventPump::YieldToWindows();
}

// The bar repaints itself at once on every change; archives of tiny files
// would spend most of their time drawing it. It follows a few times a second.
void MainWindow::showProgress(int intPercent)
{
    m_intPendingProgress = intPercent;
    if (!m_progressTimer.isActive())
        m_progressTimer.start();
}

void MainWindow::objSession_NextVolumne(QString& strFileName, bool& blnContinue)
{
    EventPump::YieldToWindows();
    strVolumeName = afterLastSlash(strFileName);
    Label1->setText(QStringLiteral("Processing volume: ") + strVolumeName);
    ++lngVolumeCount;
    blnContinue = true;
}

void MainWindow::objSession_MissingFile(QString& strFileName, QString& strNewFilename)
{
    AddErrorLine(QStringLiteral("Missing File: ") + strFileName);
    blnErrorsLogged = true;
    strNewFilename.clear();
}

void MainWindow::objSession_MissingPassword(QString& strNewPassword)
{
    strNewPassword.clear();
}

void MainWindow::objSession_cancelled()
{
    blnRunCancelled = true;
}

void MainWindow::objSession_EmptyPassword()
{
    AddErrorLine(QStringLiteral("No password supplied."));
    blnErrorsLogged = true;
}

void MainWindow::objSession_fileskipped()
{
    uncountFile();
}

void MainWindow::objSession_gotpw(QString& pw, bool&)
{
    RunState::instance().CurrentPassword = pw;
}

void MainWindow::Label3_Click()
{
    menus().PopupMain(QCursor::pos());
}

void MainWindow::Label5_Click()
{
    if (DocumentLauncher::LaunchDocument(this, RunState::instance().LastExtractFolder) ==
        DocumentLauncher::ResultNoAssociation)
        QMessageBox(QMessageBox::Warning, QStringLiteral("Error"), QStringLiteral("Error opening folder."),
                    QMessageBox::Ok, this)
            .exec();
}

void MainWindow::Label6_Click()
{
    Label5_Click();
    Application::closeEveryWindow();
}

void MainWindow::Picture_MouseDown(ClickableLabel* picture, Qt::MouseButton button)
{
    if (button == Qt::LeftButton) {
        blnButtonPressed = true;
        picture->setPixmap(ImageList1.at(picture == Picture1 ? 1 : 3));
    } else if (picture == Picture2) {
        blnButtonPressed = false;
    }
}

void MainWindow::Picture_MouseUp(ClickableLabel* picture, Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        picture->setPixmap(ImageList1.at(picture == Picture1 ? 0 : 2));
    else
        blnButtonPressed = false;
}

void MainWindow::Picture1_Click()
{
    if (blnButtonPressed)
        Application::closeEveryWindow();
}

// Stays available during a run; the run's end brings the window back.
void MainWindow::Picture2_Click()
{
    if (!blnButtonPressed)
        return;
    // The icon is made when first needed, not at every start.
    connect(TrayIcon::TrayIconData(), &QSystemTrayIcon::activated, this, &MainWindow::trayIcon_Activated,
            Qt::UniqueConnection);
    TrayIcon::AddTrayIcon(this, windowTitle(), PasswordDialog::FormIcon());
}

void MainWindow::trayIcon_Activated(QSystemTrayIcon::ActivationReason reason)
{
    TrayMessage(TrayIcon::TrayMessageFor(reason));
}

void MainWindow::TrayMessage(qint32 lngMessage)
{
    lngTrayMessage = lngMessage;
    if (!RunState::instance().InTray)
        return;
    if (lngMessage == TrayIcon::TrayLeftDoubleClick)
        TrayIcon::RestoreFromTray();
    else if (lngMessage == TrayIcon::TrayRightUp)
        menus().PopupTray(QCursor::pos());
}

AboutDialog& MainWindow::menus()
{
    if (!m_menus) {
        m_menus = new AboutDialog(this);
        m_menus->setTrayExitEnabled(!m_running);
    }
    return *m_menus;
}

void MainWindow::ShowTips()
{
    if (m_tips == nullptr)
        m_tips = new TipsDialog(this);
    m_tips->Open();
}

void MainWindow::openfile()
{
    // The old instance writes its remembered folder before the new one reads it.
    m_dialogs.reset();
    m_dialogs = std::make_unique<CommonDialogs>();
    m_dialogs->setBlnAllowMultipleFileSelect(true);
    m_dialogs->setStrFilter(QStringLiteral("Rar Files|*.rar"));
    m_dialogs->setStrInitialDir(QString());
    const QString strName = m_dialogs->strGetOpenFileName(this);
    if (strName.isEmpty())
        return;
    const qint32 lngCount = m_dialogs->lngNumFilesSelected();
    QStringList archives;
    if (lngCount >= 2) {
        for (qint32 i = 0; i < lngCount; ++i)
            archives.append(m_dialogs->fstrReturnSingleFileName(static_cast<qint16>(i)));
    } else {
        archives.append(strName);
    }
    arrstrArchives = archives;
    ExtractArchives();
}

qint16 MainWindow::countDelimiters(const QString& sFiles, QChar vSearchChar)
{
    return static_cast<qint16>(sFiles.count(vSearchChar));
}

QString MainWindow::DroppedPath(const QString& strPath)
{
    if (strPath.size() >= 4 && strPath.at(2) == u'/' && strPath.at(3) == u'/')
        return strPath.left(2) + strPath.mid(3);
    return strPath;
}

QStringList MainWindow::DroppedArchives(const QMimeData* data)
{
    QStringList archives;
    if (data == nullptr || !data->hasUrls())
        return archives;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            archives.append(DroppedPath(url.toLocalFile()));
    }
    return archives;
}

// The window is translucent: only its outline is drawn, so the desktop shows
// around it wherever the mask does not cut it (on Wayland).
void MainWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!mask().isEmpty())
        painter.setClipRegion(mask());
    painter.drawImage(QPoint(0, 0), m_picture);
}

void MainWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        WindowShape::GrabForm(this);
    QWidget::mousePressEvent(event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    Form_OLEDragOver(event);
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    Form_OLEDragOver(event);
}

// File lists are welcome while no run is in progress; a drop during a run
// would replace the list the run was started with.
void MainWindow::Form_OLEDragOver(QDragMoveEvent* event)
{
    if (m_running || DroppedArchives(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    update();
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QStringList archives = DroppedArchives(event->mimeData());
    if (m_running || archives.isEmpty()) {
        event->ignore();
        return;
    }
    Label1->clear();
    arrstrArchives = archives;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // The run starts once the drop is over, so the dragging program is not
    // kept waiting for the whole extraction.
    QTimer::singleShot(0, this, &MainWindow::ExtractArchives);
}

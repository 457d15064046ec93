#include "gui/mainwindow/MainWindow.h"

#include "core/archive/ExtractionRun.h"
#include "core/util/PathText.h"
#include "gui/Application.h"
#include "gui/about/AppMenus.h"
#include "gui/about/TipsDialog.h"
#include "gui/dialogs/CommonDialogs.h"
#include "gui/mainwindow/DroppedFiles.h"
#include "gui/mainwindow/ErrorLogDialog.h"
#include "gui/mainwindow/FirstStart.h"
#include "gui/mainwindow/MainWindowUi.h"
#include "gui/mainwindow/TitleButtons.h"
#include "gui/mainwindow/TrayIcon.h"
#include "gui/mainwindow/WindowShape.h"
#include "gui/prompts/PasswordDialog.h"
#include "gui/update/UpdateChecker.h"
#include "gui/widgets/Artwork.h"
#include "gui/widgets/ClickableLabel.h"
#include "platform/AppPaths.h"
#include "platform/DocumentLauncher.h"
#include "platform/ExtensionRegistration.h"
#include "platform/FileAssociation.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDropEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QTimer>

namespace {

const QString Title = QStringLiteral("Zorvane");
const QString BusyTitle = QStringLiteral("Zorvane - Extracting Files");
const QString UninstallSwitch = QStringLiteral("/uninstalling");
constexpr int ProgressInterval = 50;
constexpr int NotificationWait = 10000;

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Title);
    setAcceptDrops(true);
    m_ui.setupUi(this);
    connectControls();
}

MainWindow::~MainWindow() = default;

void MainWindow::connectControls()
{
    m_progressTimer.setSingleShot(true);
    m_progressTimer.setInterval(ProgressInterval);
    connect(&m_progressTimer, &QTimer::timeout, this, [this] { m_ui.progressBar->setValue(m_pendingProgress); });
    connect(m_ui.menuLink, &ClickableLabel::clicked, this, &MainWindow::showMainMenu);
    connect(m_ui.openFolderLink, &ClickableLabel::clicked, this, &MainWindow::openLastFolder);
    connect(m_ui.openFolderAndQuitLink, &ClickableLabel::clicked, this, &MainWindow::openLastFolderAndQuit);
    auto* buttons = new TitleButtons(m_ui.closeButton, m_ui.trayButton, m_ui.buttonImages, this);
    connect(buttons, &TitleButtons::closeClicked, this, &Application::closeEveryWindow);
    connect(buttons, &TitleButtons::trayClicked, this, &MainWindow::sendToTray);
    connect(&m_notification, &RunNotification::openFolderRequested, this, &MainWindow::openFolder);
}

void MainWindow::start(const QStringList& arguments)
{
    // The check runs in the background; a newer version is offered whenever
    // its answer arrives, even during a run.
    m_updateChecker = new UpdateChecker(this);
    m_updateChecker->start();
    if (arguments == QStringList{UninstallSwitch}) {
        uninstall();
        return;
    }
    showForRuns();
    greetAndShowTips();
    if (!arguments.isEmpty())
        extractArchives(arguments);
}

void MainWindow::launch(const LaunchOptions& options)
{
    if (options.target() == LaunchOptions::Target::Ask) {
        start(options.archives());
        return;
    }
    showForRuns();
    m_run->setTarget(options.target(), options.folder());
    extractArchives(options.archives());
    // A picture of the window as the run left it, for a machine without a
    // screen ("make run" there).
    if (const QString picture = qEnvironmentVariable("ZORVANE_SCREENSHOT"); !picture.isEmpty())
        grab().save(picture);
    quitAfterRun(m_run->errorsLogged() ? 1 : 0);
}

// A notification about a run without errors keeps the program a while, out
// of sight, so its "Open folder" still works; errors the user has just seen.
void MainWindow::quitAfterRun(int status)
{
    const auto quit = [status] { QCoreApplication::exit(status); };
    if (status != 0 || !m_notification.isShowing()) {
        quit();
        return;
    }
    hide();
    connect(&m_notification, &RunNotification::finished, this, quit);
    QTimer::singleShot(NotificationWait, this, quit);
}

void MainWindow::showForRuns()
{
    m_settings.setCompany(QStringLiteral("Quenmarsh"));
    m_settings.setAppName(QStringLiteral("Zorvane"));
    WindowShape::apply(this, m_ui.picture);
    m_ui.openFolderLink->hide();
    m_ui.openFolderAndQuitLink->hide();
    show();
    connectRun();
}

void MainWindow::greetAndShowTips()
{
    FirstStart::welcome(this, m_settings);
    if (FirstStart::tipsWanted(m_settings))
        showTips();
}

void MainWindow::connectRun()
{
    m_run = new ExtractionRun(m_prompts, this);
    connect(m_run, &ExtractionRun::volumeStarted, this, &MainWindow::showVolume);
    connect(m_run, &ExtractionRun::fileStarted, this, &MainWindow::showFileStarted);
    connect(m_run, &ExtractionRun::progressed, this, &MainWindow::showProgress);
    connect(m_run, &ExtractionRun::errorLogged, this, [this](const QString& line) { errorLog().addLine(line); });
}

// Undoes the desktop integration and ends at once: no window, no setting.
void MainWindow::uninstall()
{
    FileAssociation::remove(QStringLiteral("Zorvane"), QStringLiteral(".rar"));
    ExtensionRegistration::run(AppPaths::shellExtensionLibrary(), false);
    QCoreApplication::quit();
}

void MainWindow::extractArchives(const QStringList& archives)
{
    if (m_running || !m_run)
        return;
    m_archives = archives;
    beginRun();
    m_run->extract(archives);
    endRun();
}

void MainWindow::beginRun()
{
    m_running = true;
    m_ui.openFolderLink->hide();
    m_ui.openFolderAndQuitLink->hide();
    delete m_errorLog;
    errorLog();
    m_ui.statusLabel->clear();
    setWindowTitle(BusyTitle);
    setBusy(true);
}

void MainWindow::endRun()
{
    // Asked before the window comes back: was the user looking?
    const bool unseen = TrayIcon::isInTray() || !isActiveWindow();
    m_progressTimer.stop();
    m_ui.progressBar->setValue(0);
    setWindowTitle(Title);
    m_ui.statusLabel->setText(QStringLiteral("Done!\r\nExtracted %1 file(s) from %2 volume(s).")
                                  .arg(m_run->fileCount())
                                  .arg(m_run->volumeCount()));
    m_ui.fileLabel->clear();
    if (m_run->fileCount() != 0) {
        m_ui.openFolderLink->show();
        m_ui.openFolderAndQuitLink->show();
    }
    if (TrayIcon::isInTray())
        TrayIcon::restoreFromTray();
    raise();
    activateWindow();
    setBusy(false);
    m_running = false;
    if (unseen)
        m_notification.send(m_run->fileCount(), m_run->state().lastExtractFolder, m_run->errorsLogged());
    if (m_run->errorsLogged()) {
        errorLog().exec();
        delete m_errorLog;
    } else if (m_run->state().autoOpenFolder) {
        openLastFolderAndQuit();
    }
}

// While busy the window cannot be closed and the menus' Open and Exit are out
// of reach.
void MainWindow::setBusy(bool busy)
{
    m_ui.closeButton->setEnabled(!busy);
    m_ui.menuLink->setEnabled(!busy);
    if (m_menus)
        m_menus->setTrayExitEnabled(!busy);
}

ErrorLogDialog& MainWindow::errorLog()
{
    if (!m_errorLog)
        m_errorLog = new ErrorLogDialog(this);
    return *m_errorLog;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_running)
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void MainWindow::showVolume(const QString& volumeName)
{
    m_ui.statusLabel->setText(QStringLiteral("Processing volume: ") + volumeName);
}

void MainWindow::showFileStarted(const QString& entryName, double size)
{
    m_ui.fileLabel->setText(QStringLiteral("Extracting file: ") +
                            PathText::displayText(PathText::fileNameOf(entryName, true)) + u' ' +
                            QString::number(size, 'f', 0) + QStringLiteral(" bytes\r\n"));
}

// The bar repaints itself at once on every change; archives of tiny files
// would spend most of their time drawing it. It follows a few times a second.
void MainWindow::showProgress(int percent)
{
    m_pendingProgress = percent;
    if (!m_progressTimer.isActive())
        m_progressTimer.start();
}

void MainWindow::showMainMenu()
{
    menus().popupMain(QCursor::pos());
}

void MainWindow::openLastFolder()
{
    openFolder(m_run ? m_run->state().lastExtractFolder : QString());
}

void MainWindow::openFolder(const QString& folder)
{
    if (DocumentLauncher::open(folder) == DocumentLauncher::ResultNoAssociation)
        QMessageBox(QMessageBox::Warning, QStringLiteral("Error"), QStringLiteral("Error opening folder."),
                    QMessageBox::Ok, this)
            .exec();
}

void MainWindow::openLastFolderAndQuit()
{
    openLastFolder();
    Application::closeEveryWindow();
}

// Stays available during a run; the run's end brings the window back.
void MainWindow::sendToTray()
{
    // The icon is made when first needed, not at every start.
    connect(TrayIcon::icon(), &QSystemTrayIcon::activated, this, &MainWindow::onTrayActivated, Qt::UniqueConnection);
    TrayIcon::add(this, windowTitle(), PasswordDialog::icon());
}

void MainWindow::onTrayActivated(QSystemTrayIcon::ActivationReason reason)
{
    handleTrayMessage(TrayIcon::messageFor(reason));
}

void MainWindow::handleTrayMessage(qint32 message)
{
    if (!TrayIcon::isInTray())
        return;
    if (message == TrayIcon::LeftDoubleClick)
        TrayIcon::restoreFromTray();
    else if (message == TrayIcon::RightButtonUp)
        menus().popupTray(QCursor::pos());
}

AppMenus& MainWindow::menus()
{
    if (!m_menus) {
        m_menus = new AppMenus(this);
        m_menus->setTrayExitEnabled(!m_running);
        connect(m_menus, &AppMenus::openRequested, this, &MainWindow::openArchives);
        connect(m_menus, &AppMenus::updateCheckRequested, this, &MainWindow::checkForUpdate);
        connect(m_menus, &AppMenus::tipsRequested, this, &MainWindow::showTips);
        connect(m_menus, &AppMenus::exitRequested, this, &Application::closeEveryWindow);
        connect(m_menus, &AppMenus::restoreRequested, this, &TrayIcon::restoreFromTray);
        connect(m_menus, &AppMenus::trayExitRequested, this, &MainWindow::leaveFromTray);
    }
    return *m_menus;
}

// A run from the command line starts no check of its own.
void MainWindow::checkForUpdate()
{
    if (!m_updateChecker)
        m_updateChecker = new UpdateChecker(this);
    m_updateChecker->fromMenu = true;
    m_updateChecker->start();
}

void MainWindow::leaveFromTray()
{
    TrayIcon::remove();
    Application::closeEveryWindow();
}

void MainWindow::showTips()
{
    if (m_tips == nullptr)
        m_tips = new TipsDialog(this);
    m_tips->showTips();
}

void MainWindow::openArchives()
{
    // The old instance writes its remembered folder before the new one reads it.
    m_dialogs.reset();
    m_dialogs = std::make_unique<CommonDialogs>();
    m_dialogs->setAllowMultipleFileSelect(true);
    m_dialogs->setFilter(QStringLiteral("Rar Files|*.rar"));
    m_dialogs->setInitialDir(QString());
    const QString first = m_dialogs->getOpenFileName(this);
    if (first.isEmpty())
        return;
    const qint32 count = m_dialogs->selectedFileCount();
    QStringList archives;
    if (count >= 2) {
        for (qint32 i = 0; i < count; ++i)
            archives.append(m_dialogs->selectedFile(i));
    } else {
        archives.append(first);
    }
    extractArchives(archives);
}

// The window is translucent: only its outline is drawn, so the desktop shows
// around it wherever the mask does not cut it (on Wayland).
void MainWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!mask().isEmpty())
        painter.setClipRegion(mask());
    painter.drawImage(QPoint(0, 0), m_ui.picture);
}

void MainWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        WindowShape::startMove(this);
    QWidget::mousePressEvent(event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    acceptDrag(event);
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    acceptDrag(event);
}

// File lists are welcome while no run is in progress; a drop during a run
// would replace the list the run was started with.
void MainWindow::acceptDrag(QDragMoveEvent* event)
{
    if (m_running || DroppedFiles::archives(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    update();
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QStringList archives = DroppedFiles::archives(event->mimeData());
    if (m_running || archives.isEmpty()) {
        event->ignore();
        return;
    }
    m_ui.statusLabel->clear();
    m_archives = archives;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // The run starts once the drop is over, so the dragging program is not
    // kept waiting for the whole extraction.
    QTimer::singleShot(0, this, [this, archives] { extractArchives(archives); });
}

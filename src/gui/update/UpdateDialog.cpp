#include "gui/update/UpdateDialog.h"

#include "core/update/AppVersion.h"
#include "core/update/Downloader.h"
#include "platform/DocumentLauncher.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdlib>
#include <unistd.h>

namespace {

const QString ProgressText = QStringLiteral("Downloading");

// Nobody else may write there, so nobody can plant or swap the installer
// between its saving and its start.
bool isPrivateFolder(const QString& path)
{
    const QFileInfo info(path);
    return info.isAbsolute() && info.isDir() && !info.isSymLink() && info.isWritable() &&
           info.ownerId() == ::geteuid() && !(info.permissions() & (QFile::WriteGroup | QFile::WriteOther));
}

QString privateFolderInSharedTemp()
{
    const QString path = QDir::tempPath() + QStringLiteral("/zorvane-") + QString::number(::geteuid());
    QDir().mkdir(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return isPrivateFolder(path) ? path : QString();
}

// The box is deleted with its owner should the owner go while it waits.
int ask(QWidget* owner, QMessageBox::Icon icon, const QString& title, const QString& text,
        QMessageBox::StandardButtons buttons)
{
    QPointer<QMessageBox> box = new QMessageBox(icon, title, text, buttons, owner);
    const int answer = box->exec();
    delete box;
    return answer;
}

} // namespace

UpdateDialog::UpdateDialog(QWidget* parent)
    : QWidget(parent, Qt::Dialog)
    , m_icon(new QLabel(this))
    , m_announcement(new QLabel(QStringLiteral("There is a new version of the program available."), this))
    , m_installedLabel(new QLabel(this))
    , m_offeredLabel(new QLabel(this))
    , m_instructions(
          new QLabel(QStringLiteral("Click the Update button below to download and install the new version. (The "
                                    "program will be closed to perform the update.)"),
                     this))
    , m_progressLabel(new QLabel(this))
    , m_updateButton(new QPushButton(QStringLiteral("Update"), this))
    , m_cancelButton(new QPushButton(QStringLiteral("Cancel"), this))
    , m_progressTimer(new QTimer(this))
    , m_downloader(new Downloader(this))
    , m_progressText(ProgressText)
    , m_exitAction([] { std::_Exit(EXIT_SUCCESS); })
{
    setObjectName(QStringLiteral("newversion"));
    setWindowTitle(QStringLiteral("New Version"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_icon->setObjectName(QStringLiteral("Picture1"));
    m_icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    m_icon->setAlignment(Qt::AlignTop);
    for (QLabel* label : {m_announcement, m_installedLabel, m_offeredLabel, m_instructions, m_progressLabel})
        label->setTextFormat(Qt::PlainText);
    m_announcement->setObjectName(QStringLiteral("Label1"));
    m_installedLabel->setObjectName(QStringLiteral("lblold"));
    m_offeredLabel->setObjectName(QStringLiteral("lblnew"));
    m_instructions->setObjectName(QStringLiteral("Label2"));
    m_instructions->setWordWrap(true);
    m_progressLabel->setObjectName(QStringLiteral("lblprog"));
    m_updateButton->setObjectName(QStringLiteral("bttnupdate"));
    m_updateButton->setDefault(true);
    m_cancelButton->setObjectName(QStringLiteral("bttncancel"));
    m_progressTimer->setObjectName(QStringLiteral("Timer1"));
    m_progressTimer->setInterval(500);
    m_downloader->setObjectName(QStringLiteral("ng"));

    auto* texts = new QVBoxLayout;
    for (QLabel* label : {m_announcement, m_installedLabel, m_offeredLabel})
        texts->addWidget(label);
    auto* top = new QHBoxLayout;
    top->addWidget(m_icon);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_progressLabel, 1);
    buttons->addWidget(m_updateButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_instructions);
    layout->addLayout(buttons);
    setFixedWidth(420);

    connect(m_updateButton, &QPushButton::clicked, this, &UpdateDialog::startDownload);
    connect(m_cancelButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_progressTimer, &QTimer::timeout, this, &UpdateDialog::showProgress);
    connect(m_downloader, &Downloader::completed, this, &UpdateDialog::openInstaller);
}

void UpdateDialog::showVersions(const QString& installed, const QString& offered)
{
    m_installedLabel->setText(QStringLiteral("Installed version: ") + installed);
    m_offeredLabel->setText(QStringLiteral("New version: ") + offered);
}

QString UpdateDialog::privateTempFolder() const
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString folder = isPrivateFolder(runtime) ? runtime : privateFolderInSharedTemp();
    return folder.isEmpty() ? QString() : QDir(folder).absolutePath() + u'/';
}

// A second click restarts the download; the dots go on from where they were.
void UpdateDialog::startDownload()
{
    m_downloader->start(AppVersion::installerUrl(), Downloader::ForceUpdate);
    m_progressTimer->start();
}

void UpdateDialog::showProgress()
{
    if (!m_downloader->isBusy()) {
        m_progressTimer->stop();
        return;
    }
    ++m_dots;
    m_progressText += u'.';
    m_progressLabel->setText(m_progressText);
    if (m_dots == 4) {
        m_progressText = ProgressText;
        m_progressLabel->setText(m_progressText);
        m_dots = 0;
    }
}

void UpdateDialog::openInstaller()
{
    const QString folder = privateTempFolder();
    const QString installer = folder + QLatin1String(AppVersion::InstallerName);
    // Without a private folder nothing is saved, and nothing else found under the name is started.
    const bool saved = !folder.isEmpty() && m_downloader->saveAs(installer);
    m_progressLabel->setText(QStringLiteral("Complete"));

    const QPointer<UpdateDialog> self(this);
    const int answer = ask(this, QMessageBox::Information, QStringLiteral("Download Complete"),
                           QStringLiteral("The program will now close and start the installation."),
                           QMessageBox::Ok | QMessageBox::Cancel);
    if (!self)
        return;
    if (answer != QMessageBox::Ok) {
        close();
        return;
    }
    if (saved && DocumentLauncher::open(installer) == DocumentLauncher::ResultNoAssociation)
        ask(this, QMessageBox::Warning, QStringLiteral("Error"),
            QStringLiteral("Error opening file. Please visit our site at ") + QLatin1String(AppVersion::PublisherSite) +
                QStringLiteral(" to download the latest version."),
            QMessageBox::Ok);
    if (self)
        m_exitAction();
}

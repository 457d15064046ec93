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
bool isPrivateFolder(const QString& strPath)
{
    const QFileInfo info(strPath);
    return info.isAbsolute() && info.isDir() && !info.isSymLink() && info.isWritable() &&
           info.ownerId() == ::geteuid() && !(info.permissions() & (QFile::WriteGroup | QFile::WriteOther));
}

QString privateFolderInSharedTemp()
{
    const QString strPath = QDir::tempPath() + QStringLiteral("/zorvane-") + QString::number(::geteuid());
    QDir().mkdir(strPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return isPrivateFolder(strPath) ? strPath : QString();
}

// The box is deleted with its owner should the owner go while it waits.
int ask(QWidget* owner, QMessageBox::Icon icon, const QString& strTitle, const QString& strText,
        QMessageBox::StandardButtons buttons)
{
    QPointer<QMessageBox> box = new QMessageBox(icon, strTitle, strText, buttons, owner);
    const int intAnswer = box->exec();
    delete box;
    return intAnswer;
}

} // namespace

UpdateDialog::UpdateDialog(QWidget* parent)
    : QWidget(parent, Qt::Dialog)
    , Picture1(new QLabel(this))
    , Label1(new QLabel(QStringLiteral("There is a new version of the program available."), this))
    , lblold(new QLabel(this))
    , lblnew(new QLabel(this))
    , Label2(new QLabel(QStringLiteral("Click the Update button below to download and install the new version. (The "
                                       "program will be closed to perform the update.)"),
                        this))
    , lblprog(new QLabel(this))
    , bttnupdate(new QPushButton(QStringLiteral("Update"), this))
    , bttncancel(new QPushButton(QStringLiteral("Cancel"), this))
    , Timer1(new QTimer(this))
    , ng(new Downloader(this))
    , strProgress(ProgressText)
    , m_exitAction([] { std::_Exit(EXIT_SUCCESS); })
{
    setObjectName(QStringLiteral("newversion"));
    setWindowTitle(QStringLiteral("New Version"));
    setAttribute(Qt::WA_DeleteOnClose);

    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    Picture1->setAlignment(Qt::AlignTop);
    for (QLabel* label : {Label1, lblold, lblnew, Label2, lblprog})
        label->setTextFormat(Qt::PlainText);
    Label1->setObjectName(QStringLiteral("Label1"));
    lblold->setObjectName(QStringLiteral("lblold"));
    lblnew->setObjectName(QStringLiteral("lblnew"));
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    lblprog->setObjectName(QStringLiteral("lblprog"));
    bttnupdate->setObjectName(QStringLiteral("bttnupdate"));
    bttnupdate->setDefault(true);
    bttncancel->setObjectName(QStringLiteral("bttncancel"));
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    ng->setObjectName(QStringLiteral("ng"));

    auto* texts = new QVBoxLayout;
    for (QLabel* label : {Label1, lblold, lblnew})
        texts->addWidget(label);
    auto* top = new QHBoxLayout;
    top->addWidget(Picture1);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblprog, 1);
    buttons->addWidget(bttnupdate);
    buttons->addWidget(bttncancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Label2);
    layout->addLayout(buttons);
    setFixedWidth(420);

    connect(bttnupdate, &QPushButton::clicked, this, &UpdateDialog::bttnupdate_Click);
    connect(bttncancel, &QPushButton::clicked, this, &QWidget::close);
    connect(Timer1, &QTimer::timeout, this, &UpdateDialog::Timer1_Timer);
    connect(ng, &Downloader::completed, this, &UpdateDialog::ng_DownloadComplete);
}

void UpdateDialog::ShowVersions(const QString& strInstalled, const QString& strOffered)
{
    lblold->setText(QStringLiteral("Installed version: ") + strInstalled);
    lblnew->setText(QStringLiteral("New version: ") + strOffered);
}

QString UpdateDialog::gtp() const
{
    const QString strRuntime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString strFolder = isPrivateFolder(strRuntime) ? strRuntime : privateFolderInSharedTemp();
    return strFolder.isEmpty() ? QString() : QDir(strFolder).absolutePath() + u'/';
}

// A second click restarts the download; the dots go on from where they were.
void UpdateDialog::bttnupdate_Click()
{
    ng->start(AppVersion::installerUrl(), Downloader::ForceUpdate);
    Timer1->start();
}

void UpdateDialog::Timer1_Timer()
{
    if (!ng->isBusy()) {
        Timer1->stop();
        return;
    }
    ++lngDots;
    strProgress += u'.';
    lblprog->setText(strProgress);
    if (lngDots == 4) {
        strProgress = ProgressText;
        lblprog->setText(strProgress);
        lngDots = 0;
    }
}

void UpdateDialog::ng_DownloadComplete()
{
    const QString strFolder = gtp();
    const QString strInstaller = strFolder + QLatin1String(AppVersion::InstallerName);
    // Without a private folder nothing is saved, and nothing else found under the name is started.
    const bool blnSaved = !strFolder.isEmpty() && ng->saveAs(strInstaller);
    lblprog->setText(QStringLiteral("Complete"));

    const QPointer<UpdateDialog> self(this);
    const int intAnswer = ask(this, QMessageBox::Information, QStringLiteral("Download Complete"),
                              QStringLiteral("The program will now close and start the installation."),
                              QMessageBox::Ok | QMessageBox::Cancel);
    if (!self)
        return;
    if (intAnswer != QMessageBox::Ok) {
        close();
        return;
    }
    if (blnSaved && DocumentLauncher::open(strInstaller) == DocumentLauncher::ResultNoAssociation)
        ask(this, QMessageBox::Warning, QStringLiteral("Error"),
            QStringLiteral("Error opening file. Please visit our site at ") + QLatin1String(AppVersion::PublisherSite) +
                QStringLiteral(" to download the latest version."),
            QMessageBox::Ok);
    if (self)
        m_exitAction();
}

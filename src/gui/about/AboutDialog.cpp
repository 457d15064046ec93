#include "gui/about/AboutDialog.h"

#include "core/update/AppVersion.h"
#include "gui/Application.h"
#include "gui/mainwindow/Artwork.h"
#include "gui/mainwindow/ClickableLabel.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/TrayIcon.h"
#include "gui/options/OptionsDialog.h"
#include "gui/update/UpdateChecker.h"
#include "platform/AppPaths.h"
#include "platform/DocumentLauncher.h"

#include <QGridLayout>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString SupportMail = QStringLiteral("support@quenmarsh.example");
const QString FeedbackMail = QStringLiteral("feedback@quenmarsh.example");
const QString LinkStyle = QStringLiteral("color: palette(link); text-decoration: underline;");

QLabel* plainLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

ClickableLabel* linkLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new ClickableLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setCursor(Qt::PointingHandCursor);
    label->setStyleSheet(LinkStyle);
    return label;
}

QLabel* pictureLabel(QWidget* parent, const char* name, const QIcon& icon, int intSize)
{
    auto* picture = new QLabel(parent);
    picture->setObjectName(QString::fromLatin1(name));
    picture->setPixmap(icon.pixmap(QSize(intSize, intSize), parent->devicePixelRatioF()));
    return picture;
}

} // namespace

QString AboutDialog::WebSiteTarget()
{
    return QString::fromLatin1(AppVersion::PublisherSite);
}

QString AboutDialog::SupportTarget()
{
    return QStringLiteral("mailto:") + SupportMail + QStringLiteral("?subject=Zorvane Support Request");
}

QString AboutDialog::FeedbackTarget()
{
    return QStringLiteral("mailto:") + FeedbackMail + QStringLiteral("?subject=Zorvane Feedback");
}

QString AboutDialog::HelpTarget()
{
    return AppPaths::DataFolder() + QStringLiteral("help/splash.htm");
}

AboutDialog::AboutDialog(MainWindow* mainWindow)
    : QDialog(mainWindow)
    , main(new QMenu(QStringLiteral("main"), this))
    , tray(new QMenu(QStringLiteral("tray"), this))
    , m_mainWindow(mainWindow)
    , Command1(new QPushButton(QStringLiteral("OK"), this))
    , lblversion(plainLabel(this, "lblversion", QStringLiteral("Version 1.6")))
    , Label5(linkLabel(this, "Label5", WebSiteTarget()))
    , Label7(linkLabel(this, "Label7", SupportMail))
    , Label9(linkLabel(this, "Label9", FeedbackMail))
{
    setObjectName(QStringLiteral("frmAbt"));
    setWindowTitle(QStringLiteral("About..."));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);

    auto* links = new QGridLayout;
    links->addWidget(plainLabel(this, "Label4", QStringLiteral("Find more cool software here:")), 0, 0);
    links->addWidget(Label5, 0, 1);
    links->addWidget(plainLabel(this, "Label6", QStringLiteral("Technical support:")), 1, 0);
    links->addWidget(Label7, 1, 1);
    links->addWidget(plainLabel(this, "Label10", QStringLiteral("Feedback:")), 2, 0);
    links->addWidget(Label9, 2, 1);
    auto* heading = new QHBoxLayout;
    heading->addWidget(pictureLabel(this, "Picture1", Artwork::ProgramIcon(), 64));
    heading->addWidget(lblversion, 1);
    heading->addWidget(pictureLabel(this, "Picture2", Artwork::NotificationIcon(), 32), 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addLayout(links);
    layout->addWidget(plainLabel(this, "Label2",
                                 QStringLiteral("Zorvane is free of charge. You may pass it on to others, "
                                                "as long as you pass on its installation package as you "
                                                "downloaded it.")));
    layout->addWidget(plainLabel(this, "Label3",
                                 QStringLiteral("The pictures and icons of this program were drawn for it by "
                                                "its authors. The libraries it is built on, with their "
                                                "credits and licences, are listed in the help.")));
    layout->addWidget(plainLabel(this, "Label1", QStringLiteral("\u00a9 2026 Quenmarsh")));
    layout->addWidget(Command1, 0, Qt::AlignRight);

    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Label5, &ClickableLabel::clicked, this,
            [this] { openLink(WebSiteTarget(), QStringLiteral("Error opening Web browser.")); });
    connect(Label7, &ClickableLabel::clicked, this,
            [this] { openLink(SupportTarget(), QStringLiteral("Error opening email program.")); });
    connect(Label9, &ClickableLabel::clicked, this,
            [this] { openLink(FeedbackTarget(), QStringLiteral("Error opening email program.")); });
    buildMenus();
    Form_Load();
}

void AboutDialog::Form_Load()
{
    lblversion->setText(QStringLiteral("Version ") + AppVersion::VersionText());
}

void AboutDialog::buildMenus()
{
    const auto item = [this](QMenu* menu, const char* name, const QString& caption, void (AboutDialog::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    const auto separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };
    main->setObjectName(QStringLiteral("main"));
    mnuOpen = item(main, "mnuOpen", QStringLiteral("&Open"), &AboutDialog::mnuOpen_Click);
    separator(main, "sep3");
    item(main, "mnuopt", QStringLiteral("O&ptions"), &AboutDialog::mnuopt_Click);
    item(main, "mnuupd", QStringLiteral("Check for &update..."), &AboutDialog::mnuupd_Click);
    separator(main, "sep1");
    item(main, "mnuhelp", QStringLiteral("&Help"), &AboutDialog::mnuhelp_Click);
    item(main, "mnuTips", QStringLiteral("&Tips"), &AboutDialog::mnuTips_Click);
    item(main, "mnuabout", QStringLiteral("&About"), &AboutDialog::mnuabout_Click);
    item(main, "mnuweblink", QStringLiteral("More &Cool Software"), &AboutDialog::mnuweblink_Click);
    separator(main, "sep2");
    item(main, "mnuexit", QStringLiteral("E&xit"), &AboutDialog::mnuexit_Click);
    main->setDefaultAction(mnuOpen);

    tray->setObjectName(QStringLiteral("tray"));
    mnutrayrest = item(tray, "mnutrayrest", QStringLiteral("Restore"), &AboutDialog::mnutrayrest_Click);
    separator(tray, "sep5");
    item(tray, "mnuTrayOpt", QStringLiteral("Options"), &AboutDialog::mnuopt_Click);
    separator(tray, "sep6");
    item(tray, "mnutrayhelp", QStringLiteral("Help"), &AboutDialog::mnuhelp_Click);
    item(tray, "mnutraytip", QStringLiteral("Tips"), &AboutDialog::mnuTips_Click);
    item(tray, "mnutrayabt", QStringLiteral("About"), &AboutDialog::mnuabout_Click);
    item(tray, "mnutrayweblnk", QStringLiteral("More Cool Software"), &AboutDialog::mnuweblink_Click);
    separator(tray, "sep4");
    mnutrayex = item(tray, "mnutrayex", QStringLiteral("Exit"), &AboutDialog::mnutrayex_Click);
    tray->setDefaultAction(mnutrayrest);
}

void AboutDialog::PopupMain(const QPoint& pos)
{
    main->popup(pos, mnuOpen);
}

void AboutDialog::PopupTray(const QPoint& pos)
{
    tray->popup(pos, mnutrayrest);
}

void AboutDialog::setTrayExitEnabled(bool blnEnabled)
{
    mnutrayex->setEnabled(blnEnabled);
}

void AboutDialog::openLink(const QString& strTarget, const QString& strError)
{
    if (DocumentLauncher::LaunchDocument(this, strTarget) == DocumentLauncher::ResultNoAssociation)
        QMessageBox(QMessageBox::Warning, QStringLiteral("Error"), strError, QMessageBox::Ok, this).exec();
}

void AboutDialog::mnuOpen_Click()
{
    m_mainWindow->openfile();
}

void AboutDialog::mnuopt_Click()
{
    OptionsDialog options(m_mainWindow);
    options.exec();
}

void AboutDialog::mnuupd_Click()
{
    UpdateChecker* check = m_mainWindow->versionCheck();
    check->frommenu = true;
    check->Start();
}

// The help viewer's result is not looked at: a help page that cannot be shown
// has nothing better to offer.
void AboutDialog::mnuhelp_Click()
{
    DocumentLauncher::LaunchDocument(m_mainWindow, HelpTarget());
}

void AboutDialog::mnuTips_Click()
{
    m_mainWindow->ShowTips();
}

void AboutDialog::mnuabout_Click()
{
    exec();
    // Unloaded once seen; the menus come back with a fresh load.
    deleteLater();
}

void AboutDialog::mnuweblink_Click()
{
    openLink(WebSiteTarget(), QStringLiteral("Error opening Web browser."));
}

void AboutDialog::mnuexit_Click()
{
    Application::closeEveryWindow();
}

void AboutDialog::mnutrayrest_Click()
{
    TrayIcon::RestoreFromTray();
}

void AboutDialog::mnutrayex_Click()
{
    TrayIcon::DeleteTrayIcon();
    Application::closeEveryWindow();
}

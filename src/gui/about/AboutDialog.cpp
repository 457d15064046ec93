#include "gui/about/AboutDialog.h"

#include "core/update/AppVersion.h"
#include "gui/widgets/Artwork.h"
#include "gui/widgets/ClickableLabel.h"
#include "platform/AppPaths.h"
#include "platform/DocumentLauncher.h"

#include <QGridLayout>
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

QLabel* pictureLabel(QWidget* parent, const char* name, const QIcon& icon, int size)
{
    auto* picture = new QLabel(parent);
    picture->setObjectName(QString::fromLatin1(name));
    picture->setPixmap(icon.pixmap(QSize(size, size), parent->devicePixelRatioF()));
    return picture;
}

} // namespace

QString AboutDialog::webSiteTarget()
{
    return QString::fromLatin1(AppVersion::PublisherSite);
}

QString AboutDialog::supportTarget()
{
    return QStringLiteral("mailto:") + SupportMail + QStringLiteral("?subject=Zorvane Support Request");
}

QString AboutDialog::feedbackTarget()
{
    return QStringLiteral("mailto:") + FeedbackMail + QStringLiteral("?subject=Zorvane Feedback");
}

QString AboutDialog::helpTarget()
{
    return AppPaths::dataFolder() + QStringLiteral("help/splash.htm");
}

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent)
    , m_okButton(new QPushButton(QStringLiteral("OK"), this))
    , m_versionLabel(plainLabel(this, "lblversion", QStringLiteral("Version ") + AppVersion::text()))
    , m_webSiteLink(linkLabel(this, "Label5", webSiteTarget()))
    , m_supportLink(linkLabel(this, "Label7", SupportMail))
    , m_feedbackLink(linkLabel(this, "Label9", FeedbackMail))
{
    setObjectName(QStringLiteral("frmAbt"));
    setWindowTitle(QStringLiteral("About..."));
    m_okButton->setObjectName(QStringLiteral("Command1"));
    m_okButton->setDefault(true);

    auto* links = new QGridLayout;
    links->addWidget(plainLabel(this, "Label4", QStringLiteral("Find more cool software here:")), 0, 0);
    links->addWidget(m_webSiteLink, 0, 1);
    links->addWidget(plainLabel(this, "Label6", QStringLiteral("Technical support:")), 1, 0);
    links->addWidget(m_supportLink, 1, 1);
    links->addWidget(plainLabel(this, "Label10", QStringLiteral("Feedback:")), 2, 0);
    links->addWidget(m_feedbackLink, 2, 1);
    auto* heading = new QHBoxLayout;
    heading->addWidget(pictureLabel(this, "Picture1", Artwork::programIcon(), 64));
    heading->addWidget(m_versionLabel, 1);
    heading->addWidget(pictureLabel(this, "Picture2", Artwork::notificationIcon(), 32), 0, Qt::AlignTop);
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
    layout->addWidget(m_okButton, 0, Qt::AlignRight);

    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_webSiteLink, &ClickableLabel::clicked, this,
            [this] { openLink(this, webSiteTarget(), QStringLiteral("Error opening Web browser.")); });
    connect(m_supportLink, &ClickableLabel::clicked, this,
            [this] { openLink(this, supportTarget(), QStringLiteral("Error opening email program.")); });
    connect(m_feedbackLink, &ClickableLabel::clicked, this,
            [this] { openLink(this, feedbackTarget(), QStringLiteral("Error opening email program.")); });
}

void AboutDialog::openLink(QWidget* parent, const QString& target, const QString& error)
{
    if (DocumentLauncher::open(target) == DocumentLauncher::ResultNoAssociation)
        QMessageBox(QMessageBox::Warning, QStringLiteral("Error"), error, QMessageBox::Ok, parent).exec();
}

#include "gui/about/TipsDialog.h"

#include "core/settings/SettingsKeys.h"
#include "gui/widgets/Artwork.h"
#include "platform/AppPaths.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QStringDecoder>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString TipsFile = QStringLiteral("ZorvaneTips.txt");
const QString TipFamily = QStringLiteral("Comic Sans MS");

QString missingFileText()
{
    return TipsFile + QStringLiteral(" file was not found. ") + QStringLiteral("\r\n\r\n") +
           QStringLiteral("Create a text file named ") + TipsFile +
           QStringLiteral(" using a text editor with 1 tip per line. ") +
           QStringLiteral("Then place it in the same directory as the application. ");
}

// Every line counts, empty ones too; a final line ending closes the last line
// rather than starting an empty one.
QStringList splitLines(const QString& strText)
{
    if (strText.isEmpty())
        return {};
    QStringList lines = strText.split(u'\n');
    if (strText.endsWith(u'\n'))
        lines.removeLast();
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return lines;
}

} // namespace

TipsDialog::TipsDialog(QWidget* parent)
    : QDialog(parent)
    , lblTipText(new QLabel(this))
    , Picture1(new QLabel(this))
    , cmdNextTip(new QPushButton(QStringLiteral("&Next Tip"), this))
    , Check1(new QCheckBox(QStringLiteral("Don't show tips when program starts."), this))
    , Command1(new QPushButton(QStringLiteral("OK"), this))
    , Timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Zorvane Tips"));

    lblTipText->setObjectName(QStringLiteral("lblTipText"));
    lblTipText->setFont(TipFont(lblTipText->font(), QFontDatabase::families()));
    lblTipText->setTextFormat(Qt::PlainText);
    lblTipText->setWordWrap(true);
    lblTipText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTipText->setMinimumSize(340, 140);

    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFixedSize(Artwork::TipsFrameSize);
    cmdNextTip->setObjectName(QStringLiteral("cmdNextTip"));
    Check1->setObjectName(QStringLiteral("Check1"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(200);
    for (int intFrame = 1; intFrame <= 2; ++intFrame)
        ImageList1.append(Artwork::tipsFrame(intFrame, devicePixelRatioF()));

    auto* tip = new QHBoxLayout;
    tip->addWidget(Picture1, 0, Qt::AlignTop);
    tip->addWidget(lblTipText, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Check1);
    buttons->addStretch();
    buttons->addWidget(cmdNextTip);
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tip, 1);
    layout->addLayout(buttons);

    connect(cmdNextTip, &QPushButton::clicked, this, &TipsDialog::NextTip);
    connect(Command1, &QPushButton::clicked, this, &TipsDialog::Command1_Click);
    connect(Timer1, &QTimer::timeout, this, &TipsDialog::Timer1_Timer);
}

QFont TipsDialog::TipFont(const QFont& defaultFont, const QStringList& installedFamilies)
{
    // Asked for a family it lacks, fontconfig picks a stand-in, often a hard-to-read
    // script face; the desktop's own font reads better than that.
    const auto found = std::find_if(installedFamilies.begin(), installedFamilies.end(), [](const QString& family) {
        return family.compare(TipFamily, Qt::CaseInsensitive) == 0;
    });
    QFont font = defaultFont;
    if (found != installedFamilies.end())
        font.setFamily(*found);
    return font;
}

int TipsDialog::Open()
{
    Form_Load();
    return exec();
}

void TipsDialog::Form_Load()
{
    lngFrame = 1;
    showFrame();
    m_settings.setCompany(QStringLiteral("Quenmarsh"));
    m_settings.setAppName(QStringLiteral("Zorvane"));
    Timer1->start();
    if (!LoadTips(AppPaths::dataFolder() + TipsFile))
        lblTipText->setText(missingFileText());
    // Any number but 0 keeps the window from opening at start, so it shows ticked.
    Check1->setChecked(
        m_settings.value(SettingsKeys::General, SettingsKeys::NoInstructions, QStringLiteral("0")).toInt() != 0);
}

bool TipsDialog::LoadTips(const QString& FileName)
{
    if (FileName.isEmpty() || !QFileInfo(FileName).isFile())
        return false;
    // A tips file that is there but cannot be read counts as found, with no tips.
    QFile file(FileName);
    if (file.open(QIODevice::ReadOnly)) {
        // The decoder drops the byte-order mark Notepad puts before UTF-8 text.
        QStringDecoder decoder(QStringDecoder::Utf8);
        colTips.append(splitLines(decoder(file.readAll())));
        file.close();
    }
    NextTip();
    return true;
}

void TipsDialog::DisplayCurrentTip()
{
    if (lngCurrentTip >= 1 && lngCurrentTip <= colTips.size())
        lblTipText->setText(colTips.at(lngCurrentTip - 1));
}

void TipsDialog::NextTip()
{
    ++lngCurrentTip;
    if (lngCurrentTip > colTips.size())
        lngCurrentTip = 1;
    DisplayCurrentTip();
}

void TipsDialog::Command1_Click()
{
    m_settings.setValue(SettingsKeys::General, SettingsKeys::NoInstructions,
                        Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    accept();
}

void TipsDialog::Timer1_Timer()
{
    QCoreApplication::processEvents();
    lngFrame = lngFrame == 1 ? 2 : 1;
    showFrame();
    repaint();
}

void TipsDialog::showFrame()
{
    Picture1->setPixmap(ImageList1.at(lngFrame - 1));
}

// Only a hide by the program is a closing; the window system hides a minimised
// window too, and that one comes back animating.
void TipsDialog::hideEvent(QHideEvent* event)
{
    if (!event->spontaneous())
        Timer1->stop();
    QDialog::hideEvent(event);
}

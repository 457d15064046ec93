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
QStringList splitLines(const QString& text)
{
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(u'\n');
    if (text.endsWith(u'\n'))
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
    , m_tipLabel(new QLabel(this))
    , m_animation(new QLabel(this))
    , m_nextTipButton(new QPushButton(QStringLiteral("&Next Tip"), this))
    , m_noTipsCheck(new QCheckBox(QStringLiteral("Don't show tips when program starts."), this))
    , m_okButton(new QPushButton(QStringLiteral("OK"), this))
    , m_animationTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Zorvane Tips"));

    m_tipLabel->setObjectName(QStringLiteral("lblTipText"));
    m_tipLabel->setFont(tipFont(m_tipLabel->font(), QFontDatabase::families()));
    m_tipLabel->setTextFormat(Qt::PlainText);
    m_tipLabel->setWordWrap(true);
    m_tipLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_tipLabel->setMinimumSize(340, 140);

    m_animation->setObjectName(QStringLiteral("Picture1"));
    m_animation->setFixedSize(Artwork::TipsFrameSize);
    m_nextTipButton->setObjectName(QStringLiteral("cmdNextTip"));
    m_noTipsCheck->setObjectName(QStringLiteral("Check1"));
    m_okButton->setObjectName(QStringLiteral("Command1"));
    m_okButton->setDefault(true);
    m_animationTimer->setObjectName(QStringLiteral("Timer1"));
    m_animationTimer->setInterval(200);
    for (int frame = 1; frame <= 2; ++frame)
        m_frames.append(Artwork::tipsFrame(frame, devicePixelRatioF()));

    auto* tip = new QHBoxLayout;
    tip->addWidget(m_animation, 0, Qt::AlignTop);
    tip->addWidget(m_tipLabel, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_noTipsCheck);
    buttons->addStretch();
    buttons->addWidget(m_nextTipButton);
    buttons->addWidget(m_okButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tip, 1);
    layout->addLayout(buttons);

    connect(m_nextTipButton, &QPushButton::clicked, this, &TipsDialog::showNextTip);
    connect(m_okButton, &QPushButton::clicked, this, &TipsDialog::saveAndClose);
    connect(m_animationTimer, &QTimer::timeout, this, &TipsDialog::showNextFrame);
}

QFont TipsDialog::tipFont(const QFont& defaultFont, const QStringList& installedFamilies)
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

int TipsDialog::showTips()
{
    prepareToShow();
    return exec();
}

void TipsDialog::prepareToShow()
{
    m_frame = 1;
    showFrame();
    m_settings.setCompany(QStringLiteral("Quenmarsh"));
    m_settings.setAppName(QStringLiteral("Zorvane"));
    m_animationTimer->start();
    if (!loadTips(AppPaths::dataFolder() + TipsFile))
        m_tipLabel->setText(missingFileText());
    // Any number but 0 keeps the window from opening at start, so it shows ticked.
    m_noTipsCheck->setChecked(
        m_settings.value(SettingsKeys::General, SettingsKeys::NoInstructions, QStringLiteral("0")).toInt() != 0);
}

bool TipsDialog::loadTips(const QString& fileName)
{
    if (fileName.isEmpty() || !QFileInfo(fileName).isFile())
        return false;
    // A tips file that is there but cannot be read counts as found, with no tips.
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly)) {
        // The decoder drops the byte-order mark Notepad puts before UTF-8 text.
        QStringDecoder decoder(QStringDecoder::Utf8);
        m_tips.append(splitLines(decoder(file.readAll())));
        file.close();
    }
    showNextTip();
    return true;
}

void TipsDialog::showCurrentTip()
{
    if (m_currentTip >= 1 && m_currentTip <= m_tips.size())
        m_tipLabel->setText(m_tips.at(m_currentTip - 1));
}

void TipsDialog::showNextTip()
{
    ++m_currentTip;
    if (m_currentTip > m_tips.size())
        m_currentTip = 1;
    showCurrentTip();
}

void TipsDialog::saveAndClose()
{
    m_settings.setValue(SettingsKeys::General, SettingsKeys::NoInstructions,
                        m_noTipsCheck->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    accept();
}

void TipsDialog::showNextFrame()
{
    QCoreApplication::processEvents();
    m_frame = m_frame == 1 ? 2 : 1;
    showFrame();
    repaint();
}

void TipsDialog::showFrame()
{
    m_animation->setPixmap(m_frames.at(m_frame - 1));
}

// Only a hide by the program is a closing; the window system hides a minimised
// window too, and that one comes back animating.
void TipsDialog::hideEvent(QHideEvent* event)
{
    if (!event->spontaneous())
        m_animationTimer->stop();
    QDialog::hideEvent(event);
}

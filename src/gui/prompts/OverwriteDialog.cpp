#include "gui/prompts/OverwriteDialog.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace {

// The window was laid out in twips; 15 of them make one pixel.
constexpr QRect twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

} // namespace

OverwriteDialog::OverwriteDialog(QWidget* parent)
    : QDialog(parent)
    , m_icon(new QLabel(this))
    , m_message(new QLabel(QStringLiteral("Label1"), this))
    , m_forAllCheck(new QCheckBox(QStringLiteral("Use this action for all subsequent files in this operation"), this))
    , m_overwriteButton(new QPushButton(QStringLiteral("Overwrite"), this))
    , m_skipButton(new QPushButton(QStringLiteral("Skip"), this))
    , m_cancelButton(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("frmOW"));
    setWindowTitle(QStringLiteral("File exists"));
    setFixedSize(twips(0, 0, 5910, 1905).size());

    m_icon->setObjectName(QStringLiteral("Picture1"));
    m_icon->setGeometry(twips(240, 180, 750, 750));
    m_icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(m_icon->size()));

    // Entry names come from the archive and must never be read as markup.
    m_message->setObjectName(QStringLiteral("Label1"));
    m_message->setGeometry(twips(1260, 180, 4395, 615));
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_forAllCheck->setObjectName(QStringLiteral("Check1"));
    m_forAllCheck->setGeometry(twips(1200, 960, 4395, 195));
    fitCheckBox();

    m_overwriteButton->setObjectName(QStringLiteral("Command1"));
    m_overwriteButton->setGeometry(twips(1215, 1380, 1095, 375));
    m_overwriteButton->setDefault(true);
    m_skipButton->setObjectName(QStringLiteral("Command2"));
    m_skipButton->setGeometry(twips(2415, 1380, 1095, 375));
    m_cancelButton->setObjectName(QStringLiteral("Command3"));
    m_cancelButton->setGeometry(twips(3600, 1380, 1095, 375));

    setTabOrder(m_overwriteButton, m_skipButton);
    setTabOrder(m_skipButton, m_cancelButton);
    setTabOrder(m_cancelButton, m_forAllCheck);
    m_overwriteButton->setFocus();

    using Choice = ExtractionPrompts::Overwrite;
    connect(m_overwriteButton, &QPushButton::clicked, this, [this] { choose(Choice::Overwrite, Accepted); });
    connect(m_skipButton, &QPushButton::clicked, this, [this] { choose(Choice::Skip, Accepted); });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { choose(Choice::Cancel, Rejected); });
}

void OverwriteDialog::fitCheckBox()
{
    // The twip layout was drawn for a narrower system font. Rather than cut the
    // check box's text, let it take the room it needs and widen the window by as
    // much, keeping the original right margin.
    const int margin = width() - m_forAllCheck->geometry().right() - 1;
    const QSize hint = m_forAllCheck->sizeHint();
    m_forAllCheck->resize(qMax(m_forAllCheck->width(), hint.width()), qMax(m_forAllCheck->height(), hint.height()));
    setFixedWidth(qMax(width(), m_forAllCheck->geometry().right() + 1 + margin));
}

void OverwriteDialog::setMessage(const QString& entryName)
{
    // A name cannot wrap where it has no blank, so the name and its quotation
    // marks must fit one line of the label.
    const QString name = entryName.section(QLatin1Char('/'), -1);
    const QFontMetrics metrics = m_message->fontMetrics();
    const int room = m_message->contentsRect().width() - metrics.horizontalAdvance(QStringLiteral("\"\"")) - 1;
    const QString shown = metrics.elidedText(name, Qt::ElideMiddle, room);
    m_message->setText(messageFor(shown));
    m_message->setToolTip(shown == name ? QString() : entryName);
    fitMessage();
}

// The label takes the lines its text needs; what lies below moves down with it.
void OverwriteDialog::fitMessage()
{
    const int growth = qMax(m_message->height(), m_message->heightForWidth(m_message->width())) - m_message->height();
    if (growth <= 0)
        return;
    m_message->resize(m_message->width(), m_message->height() + growth);
    for (QWidget* below : {static_cast<QWidget*>(m_forAllCheck), static_cast<QWidget*>(m_overwriteButton),
                           static_cast<QWidget*>(m_skipButton), static_cast<QWidget*>(m_cancelButton)})
        below->move(below->x(), below->y() + growth);
    setFixedHeight(height() + growth);
}

QString OverwriteDialog::messageFor(const QString& entryName)
{
    const QString name = entryName.section(QLatin1Char('/'), -1);
    return QStringLiteral("The file \"") + name +
           QStringLiteral("\" already exists in the destination folder. What do you wish to do?");
}

void OverwriteDialog::done(int result)
{
    m_answer.forAll = m_forAllCheck->isChecked();
    QDialog::done(result);
}

void OverwriteDialog::keyPressEvent(QKeyEvent* event)
{
    // Escape means the Cancel button; the close box, which QDialog also routes
    // through reject(), leaves the answer empty.
    if (event->matches(QKeySequence::Cancel)) {
        m_cancelButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void OverwriteDialog::choose(ExtractionPrompts::Overwrite choice, int result)
{
    m_answer.choice = choice;
    done(result);
}

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
    , Picture1(new QLabel(this))
    , Label1(new QLabel(QStringLiteral("Label1"), this))
    , Check1(new QCheckBox(QStringLiteral("Use this action for all subsequent files in this operation"), this))
    , Command1(new QPushButton(QStringLiteral("Overwrite"), this))
    , Command2(new QPushButton(QStringLiteral("Skip"), this))
    , Command3(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("frmOW"));
    setWindowTitle(QStringLiteral("File exists"));
    setFixedSize(twips(0, 0, 5910, 1905).size());

    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(twips(240, 180, 750, 750));
    Picture1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(Picture1->size()));

    // Entry names come from the archive and must never be read as markup.
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twips(1260, 180, 4395, 615));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(twips(1200, 960, 4395, 195));
    fitCheckBox();

    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twips(1215, 1380, 1095, 375));
    Command1->setDefault(true);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(twips(2415, 1380, 1095, 375));
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setGeometry(twips(3600, 1380, 1095, 375));

    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Check1);
    Command1->setFocus();

    using Choice = ExtractionPrompts::Overwrite;
    connect(Command1, &QPushButton::clicked, this, [this] { choose(Choice::Overwrite, Accepted); });
    connect(Command2, &QPushButton::clicked, this, [this] { choose(Choice::Skip, Accepted); });
    connect(Command3, &QPushButton::clicked, this, [this] { choose(Choice::Cancel, Rejected); });
}

void OverwriteDialog::fitCheckBox()
{
    // The twip layout was drawn for a narrower system font. Rather than cut the
    // check box's text, let it take the room it needs and widen the window by as
    // much, keeping the original right margin.
    const int intMargin = width() - Check1->geometry().right() - 1;
    const QSize hint = Check1->sizeHint();
    Check1->resize(qMax(Check1->width(), hint.width()), qMax(Check1->height(), hint.height()));
    setFixedWidth(qMax(width(), Check1->geometry().right() + 1 + intMargin));
}

void OverwriteDialog::setMessage(const QString& strEntryName)
{
    // A name cannot wrap where it has no blank, so the name and its quotation
    // marks must fit one line of the label.
    const QString strName = strEntryName.section(QLatin1Char('/'), -1);
    const QFontMetrics metrics = Label1->fontMetrics();
    const int intRoom = Label1->contentsRect().width() - metrics.horizontalAdvance(QStringLiteral("\"\"")) - 1;
    const QString strShown = metrics.elidedText(strName, Qt::ElideMiddle, intRoom);
    Label1->setText(OverwriteMessage(strShown));
    Label1->setToolTip(strShown == strName ? QString() : strEntryName);
    fitMessage();
}

// The label takes the lines its text needs; what lies below moves down with it.
void OverwriteDialog::fitMessage()
{
    const int intGrowth = qMax(Label1->height(), Label1->heightForWidth(Label1->width())) - Label1->height();
    if (intGrowth <= 0)
        return;
    Label1->resize(Label1->width(), Label1->height() + intGrowth);
    for (QWidget* below : {static_cast<QWidget*>(Check1), static_cast<QWidget*>(Command1),
                           static_cast<QWidget*>(Command2), static_cast<QWidget*>(Command3)})
        below->move(below->x(), below->y() + intGrowth);
    setFixedHeight(height() + intGrowth);
}

QString OverwriteDialog::OverwriteMessage(const QString& strEntryName)
{
    const QString strName = strEntryName.section(QLatin1Char('/'), -1);
    return QStringLiteral("The file \"") + strName +
           QStringLiteral("\" already exists in the destination folder. What do you wish to do?");
}

void OverwriteDialog::done(int r)
{
    m_answer.forAll = Check1->isChecked();
    QDialog::done(r);
}

void OverwriteDialog::keyPressEvent(QKeyEvent* event)
{
    // Escape means the Cancel button; the close box, which QDialog also routes
    // through reject(), leaves the answer empty.
    if (event->matches(QKeySequence::Cancel)) {
        Command3->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void OverwriteDialog::choose(ExtractionPrompts::Overwrite choice, int r)
{
    m_answer.choice = choice;
    done(r);
}

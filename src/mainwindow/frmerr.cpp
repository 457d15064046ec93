#include "mainwindow/frmerr.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Characters that would end the line or reorder the text around them.
bool isHazard(QChar c)
{
    const char16_t u = c.unicode();
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return u == 0x061C || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) ||
               (u >= 0x2066 && u <= 0x2069);
    }
}

QString displayText(const QString& strText)
{
    // Entry names come from the archive: controls and direction marks become \xNN or \uNNNN text.
    QString strShown;
    strShown.reserve(strText.size());
    for (QChar c : strText) {
        if (!isHazard(c)) {
            strShown += c;
            continue;
        }
        const bool blnByte = c.unicode() < 0x100;
        strShown += blnByte ? QStringLiteral("\\x") : QStringLiteral("\\u");
        strShown += QString::number(c.unicode(), 16).toUpper().rightJustified(blnByte ? 2 : 4, QLatin1Char('0'));
    }
    return strShown;
}

} // namespace

frmerr::frmerr(QWidget* parent)
    : QDialog(parent)
    , Label1(new QLabel(QStringLiteral("There were some errors during the extraction process. They are listed below."),
                        this))
    , ListView1(new QTreeWidget(this))
    , Command1(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("frmerr"));
    setWindowTitle(QStringLiteral("Error Log"));
    resize(480, 300);

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);

    // One column as wide as its longest line; what does not fit scrolls.
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setColumnCount(1);
    ListView1->setHeaderHidden(true);
    ListView1->header()->setStretchLastSection(false);
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setTextElideMode(Qt::ElideNone);

    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(ListView1);
    layout->addLayout(buttons);
}

void frmerr::AddErrorLine(const QString& strText)
{
    m_lines.append(strText);
    ListView1->addTopLevelItem(new QTreeWidgetItem(QStringList{displayText(strText)}));
    ListView1->resizeColumnToContents(0);
}

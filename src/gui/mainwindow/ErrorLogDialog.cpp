#include "gui/mainwindow/ErrorLogDialog.h"

#include "core/util/PathText.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

ErrorLogDialog::ErrorLogDialog(QWidget* parent)
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

void ErrorLogDialog::AddErrorLine(const QString& strText)
{
    m_lines.append(strText);
    ListView1->addTopLevelItem(new QTreeWidgetItem(QStringList{PathText::displayText(strText)}));
    ListView1->resizeColumnToContents(0);
}

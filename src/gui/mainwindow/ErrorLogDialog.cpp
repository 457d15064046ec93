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
    , m_messageLabel(new QLabel(
          QStringLiteral("There were some errors during the extraction process. They are listed below."), this))
    , m_lineList(new QTreeWidget(this))
    , m_okButton(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("frmerr"));
    setWindowTitle(QStringLiteral("Error Log"));
    resize(480, 300);

    m_messageLabel->setObjectName(QStringLiteral("Label1"));
    m_messageLabel->setWordWrap(true);

    // One column as wide as its longest line; what does not fit scrolls.
    m_lineList->setObjectName(QStringLiteral("ListView1"));
    m_lineList->setColumnCount(1);
    m_lineList->setHeaderHidden(true);
    m_lineList->header()->setStretchLastSection(false);
    m_lineList->setRootIsDecorated(false);
    m_lineList->setUniformRowHeights(true);
    m_lineList->setTextElideMode(Qt::ElideNone);

    m_okButton->setObjectName(QStringLiteral("Command1"));
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_messageLabel);
    layout->addWidget(m_lineList);
    layout->addLayout(buttons);
}

void ErrorLogDialog::addLine(const QString& line)
{
    m_lines.append(line);
    m_lineList->addTopLevelItem(new QTreeWidgetItem(QStringList{PathText::displayText(line)}));
    m_lineList->resizeColumnToContents(0);
}

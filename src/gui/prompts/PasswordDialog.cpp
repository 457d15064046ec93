#include "gui/prompts/PasswordDialog.h"

#include "core/settings/RecentList.h"
#include "core/settings/SettingsKeys.h"
#include "gui/widgets/Artwork.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

PasswordDialog::PasswordDialog(QWidget* parent)
    : QDialog(parent)
    , Label1(new QLabel(QStringLiteral("This archive is protected by a password. Please enter it below to continue."),
                        this))
    , Text1(new QComboBox(this))
    , chksave(new QCheckBox(QStringLiteral("Save to password list"), this))
    , Check1(new QCheckBox(QStringLiteral("Use this password for all other archives in this operation."), this))
    , Command1(new QPushButton(QStringLiteral("OK"), this))
    , Command2(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("Formpw"));
    setWindowTitle(QStringLiteral("Enter Password"));
    setWindowIcon(FormIcon());
    m_settings.setCompany(QStringLiteral("Quenmarsh"));
    m_settings.setAppName(QStringLiteral("Zorvane"));

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);

    // A password box must hand back exactly what was typed: no completion from
    // the saved list (it ignores letter case) and no new list entries on Enter.
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setEditable(true);
    Text1->setCompleter(nullptr);
    Text1->setInsertPolicy(QComboBox::NoInsert);
    Text1->addItems(RecentList::load(m_settings, SettingsKeys::SavedPasswords));
    Text1->setCurrentIndex(-1);
    Text1->setMinimumContentsLength(24);

    chksave->setObjectName(QStringLiteral("chksave"));
    Check1->setObjectName(QStringLiteral("Check1"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command2->setObjectName(QStringLiteral("Command2"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Text1);
    layout->addWidget(chksave);
    layout->addWidget(Check1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Text1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &PasswordDialog::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &PasswordDialog::reject);
}

QIcon PasswordDialog::FormIcon()
{
    return Artwork::notificationIcon();
}

void PasswordDialog::reject()
{
    pword.clear();
    Cancel = true;
    QDialog::reject();
}

void PasswordDialog::Command1_Click()
{
    if (Text1->currentText().isEmpty()) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("No Password Entered"),
                        QStringLiteral("Please enter a password."), QMessageBox::Ok, this);
        box.exec();
        Text1->setFocus();
        return;
    }
    pword = Text1->currentText();
    ufa = Check1->isChecked();
    if (chksave->isChecked()) {
        QStringList arrstrSaved;
        for (int i = 0; i < Text1->count(); ++i)
            arrstrSaved.append(Text1->itemText(i));
        m_settings.setValues(SettingsKeys::SavedPasswords, RecentList::choose(arrstrSaved, pword, MaxSavedPasswords));
    }
    accept();
}

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
    , m_promptLabel(new QLabel(
          QStringLiteral("This archive is protected by a password. Please enter it below to continue."), this))
    , m_passwordCombo(new QComboBox(this))
    , m_saveCheck(new QCheckBox(QStringLiteral("Save to password list"), this))
    , m_forAllCheck(new QCheckBox(QStringLiteral("Use this password for all other archives in this operation."), this))
    , m_okButton(new QPushButton(QStringLiteral("OK"), this))
    , m_cancelButton(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("Formpw"));
    setWindowTitle(QStringLiteral("Enter Password"));
    setWindowIcon(icon());
    m_settings.setCompany(QStringLiteral("Quenmarsh"));
    m_settings.setAppName(QStringLiteral("Zorvane"));

    m_promptLabel->setObjectName(QStringLiteral("Label1"));
    m_promptLabel->setWordWrap(true);

    // A password box must hand back exactly what was typed: no completion from
    // the saved list (it ignores letter case) and no new list entries on Enter.
    m_passwordCombo->setObjectName(QStringLiteral("Text1"));
    m_passwordCombo->setEditable(true);
    m_passwordCombo->setCompleter(nullptr);
    m_passwordCombo->setInsertPolicy(QComboBox::NoInsert);
    m_passwordCombo->addItems(RecentList::load(m_settings, SettingsKeys::SavedPasswords));
    m_passwordCombo->setCurrentIndex(-1);
    m_passwordCombo->setMinimumContentsLength(24);

    m_saveCheck->setObjectName(QStringLiteral("chksave"));
    m_forAllCheck->setObjectName(QStringLiteral("Check1"));
    m_okButton->setObjectName(QStringLiteral("Command1"));
    m_okButton->setDefault(true);
    m_cancelButton->setObjectName(QStringLiteral("Command2"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_promptLabel);
    layout->addWidget(m_passwordCombo);
    layout->addWidget(m_saveCheck);
    layout->addWidget(m_forAllCheck);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_passwordCombo->setFocus();

    connect(m_okButton, &QPushButton::clicked, this, &PasswordDialog::acceptPassword);
    connect(m_cancelButton, &QPushButton::clicked, this, &PasswordDialog::reject);
}

QIcon PasswordDialog::icon()
{
    return Artwork::notificationIcon();
}

void PasswordDialog::reject()
{
    m_password.clear();
    m_cancelled = true;
    QDialog::reject();
}

void PasswordDialog::acceptPassword()
{
    if (m_passwordCombo->currentText().isEmpty()) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("No Password Entered"),
                        QStringLiteral("Please enter a password."), QMessageBox::Ok, this);
        box.exec();
        m_passwordCombo->setFocus();
        return;
    }
    m_password = m_passwordCombo->currentText();
    m_useForAll = m_forAllCheck->isChecked();
    if (m_saveCheck->isChecked()) {
        QStringList saved;
        for (int i = 0; i < m_passwordCombo->count(); ++i)
            saved.append(m_passwordCombo->itemText(i));
        m_settings.setValues(SettingsKeys::SavedPasswords, RecentList::choose(saved, m_password, MaxSavedPasswords));
    }
    accept();
}

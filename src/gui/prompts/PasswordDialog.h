#pragma once

#include "core/settings/SettingsStore.h"

#include <QDialog>
#include <QIcon>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

// Asks for an archive's password and offers the saved ones, most recent first.
// The caller reads pword and ufa after exec() returns; an empty pword means no
// password was given.
class PasswordDialog : public QDialog
{
    Q_OBJECT

public:
    // At most this many passwords are kept in the saved list.
    static constexpr int MaxSavedPasswords = 20;

    explicit PasswordDialog(QWidget* parent = nullptr);

    // The window's icon; the main window shows it in the notification area too.
    static QIcon FormIcon();

    // Cancel, Escape and the frame's close box all give up without a password.
    void reject() override;

    QString pword;
    bool ufa = false;
    bool Cancel = false;

private:
    void Command1_Click();

    SettingsStore m_settings;
    QLabel* Label1;
    QComboBox* Text1;
    QCheckBox* chksave;
    QCheckBox* Check1;
    QPushButton* Command1;
    QPushButton* Command2;
};

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
// The caller reads password() and useForAll() after exec() returns; an empty
// password means no password was given.
class PasswordDialog : public QDialog
{
    Q_OBJECT

public:
    // At most this many passwords are kept in the saved list.
    static constexpr int MaxSavedPasswords = 20;

    explicit PasswordDialog(QWidget* parent = nullptr);

    // The window's icon; the main window shows it in the notification area too.
    static QIcon icon();

    // Cancel, Escape and the frame's close box all give up without a password.
    void reject() override;

    QString password() const { return m_password; }
    bool useForAll() const { return m_useForAll; }
    bool isCancelled() const { return m_cancelled; }

private:
    void acceptPassword();

    SettingsStore m_settings;
    QLabel* m_promptLabel;
    QComboBox* m_passwordCombo;
    QCheckBox* m_saveCheck;
    QCheckBox* m_forAllCheck;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
    QString m_password;
    bool m_useForAll = false;
    bool m_cancelled = false;
};

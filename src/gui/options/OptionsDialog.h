#pragma once

#include "core/settings/SettingsStore.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The options: the .rar association, the file managers' context-menu entries and
// the folder the extract-folder chooser proposes first. OK applies them to the
// desktop at once and stores them; Cancel changes nothing.
class OptionsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit OptionsDialog(QWidget* parent = nullptr);

    // The context-menu extension's configuration for the program file program:
    // "E&xtract with Zorvane..." and "Extract &Here".
    static QByteArray menuweaveText(const QString& program);

private:
    void loadSettings();
    void applyAndClose();
    QString selectedFolderChoice() const;

    SettingsStore m_settings;
    QCheckBox* m_associateCheck;
    QCheckBox* m_fileManagerCheck;
    QLabel* m_folderLabel;
    QRadioButton* m_currentFolderChoice;
    QRadioButton* m_lastUsedFolderChoice;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};

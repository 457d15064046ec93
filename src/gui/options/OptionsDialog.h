#pragma once

#include "core/settings/SettingsStore.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The options: the .rar association, the file managers' context-menu entry and
// the folder the extract-folder chooser proposes first. OK applies them to the
// desktop at once and stores them; Cancel changes nothing.
class OptionsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit OptionsDialog(QWidget* parent = nullptr);

    // The context-menu extension's configuration for the program file strProgram.
    static QByteArray MenuweaveText(const QString& strProgram);

private:
    void Form_Load();
    void Command1_Click();
    QString selectedFolderChoice() const;

    SettingsStore m_settings;
    QCheckBox* Check1;
    QCheckBox* Check2;
    QLabel* Label1;
    QRadioButton* defexfold[2];
    QPushButton* Command1;
    QPushButton* Command2;
};

#include "gui/options/OptionsDialog.h"

#include "core/settings/AtomicFile.h"
#include "core/settings/SettingsKeys.h"
#include "platform/AppPaths.h"
#include "platform/ExtensionRegistration.h"
#include "platform/FileAssociation.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString FileType = QStringLiteral("Zorvane");
const QString Extension = QStringLiteral(".rar");
const QString Description = QStringLiteral("Zorvane Rar Archive");
const QString MenuweaveFile = QStringLiteral("Menuweave.ini");

QString checkState(const QCheckBox* box)
{
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

OptionsDialog::OptionsDialog(QWidget* parent)
    : QDialog(parent)
    , m_associateCheck(new QCheckBox(QStringLiteral("Associate Rar files with Zorvane"), this))
    , m_fileManagerCheck(new QCheckBox(QStringLiteral("Integrate with file managers "), this))
    , m_folderLabel(new QLabel(QStringLiteral("Default extract folder:"), this))
    , m_currentFolderChoice(new QRadioButton(SettingsKeys::CurrentFolder, this))
    , m_lastUsedFolderChoice(new QRadioButton(SettingsKeys::LastUsedFolder, this))
    , m_okButton(new QPushButton(QStringLiteral("OK"), this))
    , m_cancelButton(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("frmopt"));
    setWindowTitle(QStringLiteral("0ptions"));
    m_associateCheck->setObjectName(QStringLiteral("Check1"));
    m_fileManagerCheck->setObjectName(QStringLiteral("Check2"));
    m_folderLabel->setObjectName(QStringLiteral("Label1"));
    m_currentFolderChoice->setObjectName(QStringLiteral("defexfold_0"));
    m_lastUsedFolderChoice->setObjectName(QStringLiteral("defexfold_1"));
    m_okButton->setObjectName(QStringLiteral("Command1"));
    m_okButton->setDefault(true);
    m_cancelButton->setObjectName(QStringLiteral("Command2"));

    auto* folders = new QHBoxLayout;
    folders->addWidget(m_folderLabel);
    folders->addWidget(m_currentFolderChoice);
    folders->addWidget(m_lastUsedFolderChoice);
    folders->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_associateCheck);
    layout->addWidget(m_fileManagerCheck);
    layout->addLayout(folders);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_okButton, &QPushButton::clicked, this, &OptionsDialog::applyAndClose);
    connect(m_cancelButton, &QPushButton::clicked, this, &OptionsDialog::reject);
    loadSettings();
}

QByteArray OptionsDialog::menuweaveText(const QString& program)
{
    const QStringList lines{
        QStringLiteral("[Dynamic Items]"),
        QStringLiteral("Parent1 = 0"),
        QStringLiteral("Application1=") + program,
        QStringLiteral("Caption1=E&xtract with Zorvane..."),
        QStringLiteral("Hint1=Extract archive using Zorvane"),
        QStringLiteral("IconFile1=") + program,
        QStringLiteral("IconIndex1 = 0"),
        QStringLiteral("Checked1 = 1"),
        QStringLiteral("FileType1 = Zorvane"),
        // Extracts beside the archive without asking where.
        QStringLiteral("Parent2 = 0"),
        QStringLiteral("Application2=") + program,
        QStringLiteral("Arguments2=--extract-here"),
        QStringLiteral("Caption2=Extract &Here"),
        QStringLiteral("Hint2=Extract archive here using Zorvane"),
        QStringLiteral("IconFile2=") + program,
        QStringLiteral("IconIndex2 = 0"),
        QStringLiteral("Checked2 = 1"),
        QStringLiteral("FileType2 = Zorvane"),
        QStringLiteral("Count = 2"),
    };
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

void OptionsDialog::loadSettings()
{
    m_settings.setCompany(QStringLiteral("Quenmarsh"));
    m_settings.setAppName(QStringLiteral("Zorvane"));
    m_associateCheck->setChecked(
        m_settings.value(SettingsKeys::Options, SettingsKeys::AssociateRarFiles, QStringLiteral("1")).toInt() != 0);
    m_fileManagerCheck->setChecked(
        m_settings.value(SettingsKeys::Options, SettingsKeys::ShellIntegration, QStringLiteral("1")).toInt() != 0);
    // A value that is neither button's text leaves "Last used" chosen.
    const QString folder =
        m_settings.value(SettingsKeys::Options, SettingsKeys::DefaultExtractFolder, SettingsKeys::CurrentFolder);
    (folder == m_currentFolderChoice->text() ? m_currentFolderChoice : m_lastUsedFolderChoice)->setChecked(true);
}

QString OptionsDialog::selectedFolderChoice() const
{
    return (m_currentFolderChoice->isChecked() ? m_currentFolderChoice : m_lastUsedFolderChoice)->text();
}

// Every step runs whatever the one before achieved; the settings are stored in
// any case.
void OptionsDialog::applyAndClose()
{
    const QString program = AppPaths::programFile();
    if (m_associateCheck->isChecked())
        FileAssociation::create(FileType, Extension, Description, program, QString());
    else
        FileAssociation::remove(FileType, Extension);
    if (m_fileManagerCheck->isChecked())
        AtomicFile::write(AppPaths::writableProgramFolder() + MenuweaveFile, menuweaveText(program), 0644);
    ExtensionRegistration::run(AppPaths::shellExtensionLibrary(), m_fileManagerCheck->isChecked());
    m_settings.setValues(SettingsKeys::Options, {{SettingsKeys::AssociateRarFiles, checkState(m_associateCheck)},
                                                 {SettingsKeys::ShellIntegration, checkState(m_fileManagerCheck)},
                                                 {SettingsKeys::DefaultExtractFolder, selectedFolderChoice()}});
    accept();
}

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
    , Check1(new QCheckBox(QStringLiteral("Associate Rar files with Zorvane"), this))
    , Check2(new QCheckBox(QStringLiteral("Integrate with file managers "), this))
    , Label1(new QLabel(QStringLiteral("Default extract folder:"), this))
    , defexfold{new QRadioButton(SettingsKeys::CurrentFolder, this),
                new QRadioButton(SettingsKeys::LastUsedFolder, this)}
    , Command1(new QPushButton(QStringLiteral("OK"), this))
    , Command2(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("frmopt"));
    setWindowTitle(QStringLiteral("0ptions"));
    Check1->setObjectName(QStringLiteral("Check1"));
    Check2->setObjectName(QStringLiteral("Check2"));
    Label1->setObjectName(QStringLiteral("Label1"));
    defexfold[0]->setObjectName(QStringLiteral("defexfold_0"));
    defexfold[1]->setObjectName(QStringLiteral("defexfold_1"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command2->setObjectName(QStringLiteral("Command2"));

    auto* folders = new QHBoxLayout;
    folders->addWidget(Label1);
    folders->addWidget(defexfold[0]);
    folders->addWidget(defexfold[1]);
    folders->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Check1);
    layout->addWidget(Check2);
    layout->addLayout(folders);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Command1, &QPushButton::clicked, this, &OptionsDialog::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &OptionsDialog::reject);
    Form_Load();
}

QByteArray OptionsDialog::MenuweaveText(const QString& strProgram)
{
    const QStringList lines{
        QStringLiteral("[Dynamic Items]"),
        QStringLiteral("Parent1 = 0"),
        QStringLiteral("Application1=") + strProgram,
        QStringLiteral("Caption1=E&xtract with Zorvane..."),
        QStringLiteral("Hint1=Extract archive using Zorvane"),
        QStringLiteral("IconFile1=") + strProgram,
        QStringLiteral("IconIndex1 = 0"),
        QStringLiteral("Checked1 = 1"),
        QStringLiteral("FileType1 = Zorvane"),
        QStringLiteral("Count = 1"),
    };
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

void OptionsDialog::Form_Load()
{
    m_settings.setCompany(QStringLiteral("Quenmarsh"));
    m_settings.setAppName(QStringLiteral("Zorvane"));
    Check1->setChecked(
        m_settings.value(SettingsKeys::Options, SettingsKeys::AssociateRarFiles, QStringLiteral("1")).toInt() != 0);
    Check2->setChecked(
        m_settings.value(SettingsKeys::Options, SettingsKeys::ShellIntegration, QStringLiteral("1")).toInt() != 0);
    // A value that is neither button's text leaves "Last used" chosen.
    const QString folder =
        m_settings.value(SettingsKeys::Options, SettingsKeys::DefaultExtractFolder, SettingsKeys::CurrentFolder);
    defexfold[folder == defexfold[0]->text() ? 0 : 1]->setChecked(true);
}

QString OptionsDialog::selectedFolderChoice() const
{
    return defexfold[0]->isChecked() ? defexfold[0]->text() : defexfold[1]->text();
}

// Every step runs whatever the one before achieved; the settings are stored in
// any case.
void OptionsDialog::Command1_Click()
{
    const QString program = AppPaths::programFile();
    if (Check1->isChecked())
        FileAssociation::create(FileType, Extension, Description, program, QString());
    else
        FileAssociation::remove(FileType, Extension);
    if (Check2->isChecked())
        AtomicFile::write(AppPaths::writableProgramFolder() + MenuweaveFile, MenuweaveText(program), 0644);
    ExtensionRegistration::run(AppPaths::shellExtensionLibrary(), Check2->isChecked());
    m_settings.setValues(SettingsKeys::Options, {{SettingsKeys::AssociateRarFiles, checkState(Check1)},
                                                 {SettingsKeys::ShellIntegration, checkState(Check2)},
                                                 {SettingsKeys::DefaultExtractFolder, selectedFolderChoice()}});
    accept();
}

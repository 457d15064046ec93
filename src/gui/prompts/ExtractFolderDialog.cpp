#include "gui/prompts/ExtractFolderDialog.h"

#include "core/settings/RecentList.h"
#include "core/settings/SettingsKeys.h"
#include "gui/prompts/FolderTreeModel.h"
#include "platform/StandardFolders.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

constexpr int HistorySize = 10;
const QString DesktopDisplayName = QStringLiteral("Desktop");
const QString HomeDisplayName = QStringLiteral("Home");

QCheckBox* checkBox(const QString& name, const QString& text, QWidget* parent)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

} // namespace

ExtractFolderDialog::ExtractFolderDialog(const QString& archiveFolder, QWidget* parent)
    : QDialog(parent)
{
    m_settings.setCompany(QStringLiteral("Quenmarsh"));
    m_settings.setAppName(QStringLiteral("Zorvane"));
    buildControls();
    layOutControls();
    loadChoices(archiveFolder);
}

QString ExtractFolderDialog::withTrailingSlash(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString ExtractFolderDialog::nodePath(const QString& displayName, const QString& treePath)
{
    // Only a desktop node without a path of its own stands for the user's desktop;
    // a real folder that happens to be called "Desktop" is itself.
    if (treePath.isEmpty() && displayName == DesktopDisplayName)
        return StandardFolders::desktop();
    return treePath;
}

void ExtractFolderDialog::reject()
{
    m_cancelled = true;
    QDialog::reject();
}

void ExtractFolderDialog::buildControls()
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Extract to..."));

    m_folderTreeLabel = new QLabel(QStringLiteral("Select a folder in which you wish to extract the files."), this);
    m_folderTreeLabel->setObjectName(QStringLiteral("Label1"));
    buildFolderTree();

    m_destinationLabel = new QLabel(QStringLiteral("Destination Folder (will be created if doesn't exist):"), this);
    m_destinationLabel->setObjectName(QStringLiteral("Label2"));
    buildDestinationBox();
    buildChoices();
}

void ExtractFolderDialog::buildFolderTree()
{
    m_folders = new FolderTreeModel(this);
    // The user's home and desktop sit beside "/", as in the file managers. The
    // desktop node stands for the desktop itself and has no path of its own.
    m_folders->addPlace(HomeDisplayName, QDir::homePath());
    m_folders->addPlace(DesktopDisplayName, StandardFolders::desktop(), false);
    m_folders->addPlace(QDir::rootPath(), QDir::rootPath());
    m_folderTree = new QTreeView(this);
    m_folderTree->setObjectName(QStringLiteral("FolderTreeview1"));
    m_folderTree->setModel(m_folders);
    m_folderTree->setHeaderHidden(true);
    m_folderTree->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_folderTree->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ExtractFolderDialog::showSelectedFolder);
    // The model lists folders in the background and sorts them afterwards; each
    // arrival can push the selection out of view, so it is followed until the user scrolls.
    connect(m_folders, &FolderTreeModel::rowsInserted, this, &ExtractFolderDialog::keepSelectionInView);
    connect(m_folders, &FolderTreeModel::layoutChanged, this, &ExtractFolderDialog::keepSelectionInView);
    for (QScrollBar* bar : {m_folderTree->verticalScrollBar(), m_folderTree->horizontalScrollBar()})
        connect(bar, &QScrollBar::actionTriggered, this, [this] { m_followSelection = false; });
}

void ExtractFolderDialog::buildDestinationBox()
{
    m_destinationCombo = new QComboBox(this);
    m_destinationCombo->setObjectName(QStringLiteral("Combo1"));
    m_destinationCombo->setEditable(true);
    // Typed text stays out of the list until OK, and Enter must not swap it for an
    // entry that differs only in letter case.
    m_destinationCombo->setInsertPolicy(QComboBox::NoInsert);
    m_destinationCombo->completer()->setCaseSensitivity(Qt::CaseSensitive);
    connect(m_destinationCombo, &QComboBox::activated, this, &ExtractFolderDialog::goToPickedFolder);
}

void ExtractFolderDialog::buildChoices()
{
    m_folderPerArchiveCheck =
        checkBox(QStringLiteral("chkCrNew"),
                 QStringLiteral("Automatically create new folder under selected folder for each archive "
                                "using its file name."),
                 this);
    m_folderPerArchiveCheck->setChecked(true);
    m_useForAllCheck = checkBox(QStringLiteral("chkUseforAll"),
                                QStringLiteral("Use this folder for every archive in this operation."), this);
    m_useForAllCheck->setChecked(true);
    m_autoOpenCheck =
        checkBox(QStringLiteral("chkautoopen"),
                 QStringLiteral("Automatically open last used extract folder and close program when finished"), this);

    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("cmdOK"));
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &ExtractFolderDialog::acceptFolder);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    connect(m_cancelButton, &QPushButton::clicked, this, &ExtractFolderDialog::reject);
}

void ExtractFolderDialog::layOutControls()
{
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_folderTreeLabel);
    layout->addWidget(m_folderTree, 1);
    layout->addWidget(m_destinationLabel);
    layout->addWidget(m_destinationCombo);
    layout->addWidget(m_folderPerArchiveCheck);
    layout->addWidget(m_useForAllCheck);
    layout->addWidget(m_autoOpenCheck);
    layout->addLayout(buttons);
    resize(480, 440);
}

void ExtractFolderDialog::loadChoices(const QString& archiveFolder)
{
    m_autoOpenCheck->setChecked(
        m_settings.value(SettingsKeys::Options, SettingsKeys::AutoOpen, QStringLiteral("1")).toInt() != 0);
    m_destinationCombo->addItems(RecentList::load(m_settings, SettingsKeys::ExtractFolders));
    m_cancelled = false;
    m_folder.clear();

    goToFolder(archiveFolder);
    const QString treePath = folderPath(selectedFolder());
    // "Last used" with no history has nothing to show; the archive's folder is the sensible answer.
    const bool current = m_settings.value(SettingsKeys::Options, SettingsKeys::DefaultExtractFolder,
                                          SettingsKeys::CurrentFolder) == SettingsKeys::CurrentFolder;
    if (current || m_destinationCombo->count() == 0) {
        m_destinationCombo->setEditText(treePath);
        return;
    }
    m_destinationCombo->setCurrentIndex(0);
    goToPickedFolder();
    goToFolder(m_destinationCombo->currentText());
}

void ExtractFolderDialog::goToFolder(const QString& path)
{
    // Asking the model for a file would make it show that file in the tree.
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return;
    const QModelIndex folder = m_folders->index(path);
    if (!folder.isValid())
        return;
    m_followSelection = true;
    m_folderTree->setCurrentIndex(folder);
    m_folderTree->scrollTo(folder);
}

QModelIndex ExtractFolderDialog::selectedFolder() const
{
    const QModelIndexList selected = m_folderTree->selectionModel()->selectedIndexes();
    for (const QModelIndex& index : selected) {
        if (index.column() == 0)
            return index;
    }
    return QModelIndex();
}

bool ExtractFolderDialog::selectedFolderIsValid() const
{
    const QModelIndex folder = selectedFolder();
    if (!folder.isValid())
        return false;
    // The tree may still show a folder that was removed or locked since it was listed.
    const QFileInfo info(folderPath(folder));
    return info.isDir() && info.isReadable();
}

QString ExtractFolderDialog::folderPath(const QModelIndex& folder) const
{
    if (!folder.isValid())
        return QString();
    return nodePath(m_folders->fileName(folder), m_folders->filePath(folder));
}

QStringList ExtractFolderDialog::historyEntries() const
{
    QStringList entries;
    for (int i = 0; i < m_destinationCombo->count(); ++i)
        entries.append(m_destinationCombo->itemText(i));
    return entries;
}

void ExtractFolderDialog::goToPickedFolder()
{
    m_listPick = true;
    goToFolder(m_destinationCombo->currentText());
    // The tree answers at once; when it could not move, the mark must not swallow the user's next click.
    m_listPick = false;
}

void ExtractFolderDialog::showSelectedFolder()
{
    const QModelIndex folder = selectedFolder();
    if (!folder.isValid())
        return;
    const QString path = folderPath(folder);
    if (m_listPick)
        m_listPick = false;
    else
        m_destinationCombo->setEditText(path);
    m_folder = path;
}

void ExtractFolderDialog::done(int result)
{
    m_folderTree->selectionModel()->disconnect(this);
    QDialog::done(result);
}

void ExtractFolderDialog::keepSelectionInView()
{
    if (m_followSelection)
        m_folderTree->scrollTo(m_folderTree->currentIndex());
}

void ExtractFolderDialog::acceptFolder()
{
    if (!selectedFolderIsValid()) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Invalid Folder"),
                        QStringLiteral("This folder cannot be selected."), QMessageBox::Ok, this);
        box.exec();
        return;
    }
    m_folder = withTrailingSlash(m_destinationCombo->currentText());
    m_folderPerArchive = m_folderPerArchiveCheck->checkState() != Qt::Unchecked;
    m_useForAll = m_useForAllCheck->checkState() != Qt::Unchecked;
    m_settings.setValues(SettingsKeys::ExtractFolders, RecentList::choose(historyEntries(), m_folder, HistorySize));

    m_autoOpen = m_autoOpenCheck->isChecked();
    m_settings.setValue(SettingsKeys::Options, SettingsKeys::AutoOpen,
                        m_autoOpen ? QStringLiteral("1") : QStringLiteral("0"));
    accept();
}

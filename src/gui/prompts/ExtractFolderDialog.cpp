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
    Form_Load(archiveFolder);
}

QString ExtractFolderDialog::WithTrailingSlash(const QString& strFolder)
{
    return strFolder.endsWith(u'/') ? strFolder : strFolder + u'/';
}

QString ExtractFolderDialog::FolderPathRule(const QString& strDisplayName, const QString& strTreePath)
{
    // Only a desktop node without a path of its own stands for the user's desktop;
    // a real folder that happens to be called "Desktop" is itself.
    if (strTreePath.isEmpty() && strDisplayName == DesktopDisplayName)
        return StandardFolders::desktop();
    return strTreePath;
}

void ExtractFolderDialog::reject()
{
    cancl = true;
    QDialog::reject();
}

void ExtractFolderDialog::buildControls()
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Extract to..."));

    Label1 = new QLabel(QStringLiteral("Select a folder in which you wish to extract the files."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    buildFolderTree();

    Label2 = new QLabel(QStringLiteral("Destination Folder (will be created if doesn't exist):"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
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
    FolderTreeview1 = new QTreeView(this);
    FolderTreeview1->setObjectName(QStringLiteral("FolderTreeview1"));
    FolderTreeview1->setModel(m_folders);
    FolderTreeview1->setHeaderHidden(true);
    FolderTreeview1->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(FolderTreeview1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ExtractFolderDialog::FolderTreeview1_SelChange);
    // The model lists folders in the background and sorts them afterwards; each
    // arrival can push the selection out of view, so it is followed until the user scrolls.
    connect(m_folders, &FolderTreeModel::rowsInserted, this, &ExtractFolderDialog::keepSelectionInView);
    connect(m_folders, &FolderTreeModel::layoutChanged, this, &ExtractFolderDialog::keepSelectionInView);
    for (QScrollBar* bar : {FolderTreeview1->verticalScrollBar(), FolderTreeview1->horizontalScrollBar()})
        connect(bar, &QScrollBar::actionTriggered, this, [this] { m_followSelection = false; });
}

void ExtractFolderDialog::buildDestinationBox()
{
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    // Typed text stays out of the list until OK, and Enter must not swap it for an
    // entry that differs only in letter case.
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->completer()->setCaseSensitivity(Qt::CaseSensitive);
    connect(Combo1, &QComboBox::activated, this, &ExtractFolderDialog::Combo1_Click);
}

void ExtractFolderDialog::buildChoices()
{
    chkCrNew = checkBox(QStringLiteral("chkCrNew"),
                        QStringLiteral("Automatically create new folder under selected folder for each archive "
                                       "using its file name."),
                        this);
    chkCrNew->setChecked(true);
    chkUseforAll = checkBox(QStringLiteral("chkUseforAll"),
                            QStringLiteral("Use this folder for every archive in this operation."), this);
    chkUseforAll->setChecked(true);
    chkautoopen =
        checkBox(QStringLiteral("chkautoopen"),
                 QStringLiteral("Automatically open last used extract folder and close program when finished"), this);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &ExtractFolderDialog::cmdOK_Click);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdCancel, &QPushButton::clicked, this, &ExtractFolderDialog::reject);
}

void ExtractFolderDialog::layOutControls()
{
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(FolderTreeview1, 1);
    layout->addWidget(Label2);
    layout->addWidget(Combo1);
    layout->addWidget(chkCrNew);
    layout->addWidget(chkUseforAll);
    layout->addWidget(chkautoopen);
    layout->addLayout(buttons);
    resize(480, 440);
}

void ExtractFolderDialog::Form_Load(const QString& archiveFolder)
{
    chkautoopen->setChecked(
        m_settings.value(SettingsKeys::Options, SettingsKeys::AutoOpen, QStringLiteral("1")).toInt() != 0);
    Combo1->addItems(RecentList::load(m_settings, SettingsKeys::ExtractFolders));
    cancl = false;
    extfldr.clear();

    goToFolder(archiveFolder);
    const QString strTreePath = folderPath(selectedFolder());
    // "Last used" with no history has nothing to show; the archive's folder is the sensible answer.
    const bool current = m_settings.value(SettingsKeys::Options, SettingsKeys::DefaultExtractFolder,
                                          SettingsKeys::CurrentFolder) == SettingsKeys::CurrentFolder;
    if (current || Combo1->count() == 0) {
        Combo1->setEditText(strTreePath);
        return;
    }
    Combo1->setCurrentIndex(0);
    Combo1_Click();
    goToFolder(Combo1->currentText());
}

void ExtractFolderDialog::goToFolder(const QString& strPath)
{
    // Asking the model for a file would make it show that file in the tree.
    if (strPath.isEmpty() || !QFileInfo(strPath).isDir())
        return;
    const QModelIndex folder = m_folders->index(strPath);
    if (!folder.isValid())
        return;
    m_followSelection = true;
    FolderTreeview1->setCurrentIndex(folder);
    FolderTreeview1->scrollTo(folder);
}

QModelIndex ExtractFolderDialog::selectedFolder() const
{
    const QModelIndexList selected = FolderTreeview1->selectionModel()->selectedIndexes();
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
    return FolderPathRule(m_folders->fileName(folder), m_folders->filePath(folder));
}

QStringList ExtractFolderDialog::historyEntries() const
{
    QStringList entries;
    for (int i = 0; i < Combo1->count(); ++i)
        entries.append(Combo1->itemText(i));
    return entries;
}

void ExtractFolderDialog::Combo1_Click()
{
    m_listPick = true;
    goToFolder(Combo1->currentText());
    // The tree answers at once; when it could not move, the mark must not swallow the user's next click.
    m_listPick = false;
}

void ExtractFolderDialog::FolderTreeview1_SelChange()
{
    const QModelIndex folder = selectedFolder();
    if (!folder.isValid())
        return;
    const QString strPath = folderPath(folder);
    if (m_listPick)
        m_listPick = false;
    else
        Combo1->setEditText(strPath);
    extfldr = strPath;
}

void ExtractFolderDialog::done(int r)
{
    FolderTreeview1->selectionModel()->disconnect(this);
    QDialog::done(r);
}

void ExtractFolderDialog::keepSelectionInView()
{
    if (m_followSelection)
        FolderTreeview1->scrollTo(FolderTreeview1->currentIndex());
}

void ExtractFolderDialog::cmdOK_Click()
{
    if (!selectedFolderIsValid()) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Invalid Folder"),
                        QStringLiteral("This folder cannot be selected."), QMessageBox::Ok, this);
        box.exec();
        return;
    }
    extfldr = WithTrailingSlash(Combo1->currentText());
    newforeach = chkCrNew->checkState() != Qt::Unchecked;
    useforall = chkUseforAll->checkState() != Qt::Unchecked;
    m_settings.setValues(SettingsKeys::ExtractFolders, RecentList::choose(historyEntries(), extfldr, HistorySize));

    autoOpen = chkautoopen->isChecked();
    m_settings.setValue(SettingsKeys::Options, SettingsKeys::AutoOpen,
                        autoOpen ? QStringLiteral("1") : QStringLiteral("0"));
    accept();
}

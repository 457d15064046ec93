#pragma once

#include "core/settings/SettingsStore.h"

#include <QDialog>
#include <QModelIndex>

class FolderTreeModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeView;

// The modal window in which the user picks the folder archives are extracted
// into. The caller runs exec() and then reads the public values; OK also sets
// RunState::AutoOpenFolder and records the folder in the history.
class ExtractFolderDialog : public QDialog
{
    Q_OBJECT

public:
    // archiveFolder: where the choice starts, the folder of the archive at hand.
    explicit ExtractFolderDialog(const QString& archiveFolder = {}, QWidget* parent = nullptr);

    // The destination as OK hands it back: ending with "/" (empty text gives "/").
    static QString WithTrailingSlash(const QString& strFolder);
    // A tree folder's path; a "Desktop" node without one stands for the desktop folder.
    static QString FolderPathRule(const QString& strDisplayName, const QString& strTreePath);

    QString extfldr;
    bool cancl = false;
    bool useforall = false;
    bool newforeach = false;
    bool autoOpen = false; // open the folder when the run ends

public slots:
    // Cancel, Escape and the title-bar close all end here.
    void reject() override;
    // The answer is final: the folder tree, still loading in the background,
    // may move its selection after OK and must not change it.
    void done(int r) override;

private:
    void buildControls();
    void buildFolderTree();
    void buildDestinationBox();
    void buildChoices();
    void layOutControls();
    void Form_Load(const QString& archiveFolder);

    void goToFolder(const QString& strPath);
    QModelIndex selectedFolder() const;
    bool selectedFolderIsValid() const;
    QString folderPath(const QModelIndex& folder) const;
    QStringList historyEntries() const;

    void Combo1_Click();
    void FolderTreeview1_SelChange();
    void keepSelectionInView();
    void cmdOK_Click();

    QLabel* Label1 = nullptr;
    QTreeView* FolderTreeview1 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* Combo1 = nullptr;
    QCheckBox* chkCrNew = nullptr;
    QCheckBox* chkUseforAll = nullptr;
    QCheckBox* chkautoopen = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    FolderTreeModel* m_folders = nullptr;
    SettingsStore m_settings;
    // Set while a pick from the list moves the tree, so the tree's answer keeps the picked text.
    bool m_listPick = false;
    // The tree keeps its current folder in view until the user scrolls it.
    bool m_followSelection = true;
};

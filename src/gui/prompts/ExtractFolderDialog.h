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
// into. The caller runs exec() and then reads the answer; OK also records the
// folder in the history and the auto-open choice in the settings.
class ExtractFolderDialog : public QDialog
{
    Q_OBJECT

public:
    // archiveFolder: where the choice starts, the folder of the archive at hand.
    explicit ExtractFolderDialog(const QString& archiveFolder = {}, QWidget* parent = nullptr);

    // The destination as OK hands it back: ending with "/" (empty text gives "/").
    static QString withTrailingSlash(const QString& folder);
    // A tree folder's path; a "Desktop" node without one stands for the desktop folder.
    static QString nodePath(const QString& displayName, const QString& treePath);

    // The answer, read after exec(): the folder (ending with "/" after OK) and the choices below it.
    QString folder() const { return m_folder; }
    bool isCancelled() const { return m_cancelled; }
    bool useForAll() const { return m_useForAll; }
    bool folderPerArchive() const { return m_folderPerArchive; }
    bool autoOpen() const { return m_autoOpen; } // open the folder when the run ends

public slots:
    // Cancel, Escape and the title-bar close all end here.
    void reject() override;
    // The answer is final: the folder tree, still loading in the background,
    // may move its selection after OK and must not change it.
    void done(int result) override;

private:
    void buildControls();
    void buildFolderTree();
    void buildDestinationBox();
    void buildChoices();
    void layOutControls();
    void loadChoices(const QString& archiveFolder);

    void goToFolder(const QString& path);
    QModelIndex selectedFolder() const;
    bool selectedFolderIsValid() const;
    QString folderPath(const QModelIndex& folder) const;
    QStringList historyEntries() const;

    void goToPickedFolder();
    void showSelectedFolder();
    void keepSelectionInView();
    void acceptFolder();

    QLabel* m_folderTreeLabel = nullptr;
    QTreeView* m_folderTree = nullptr;
    QLabel* m_destinationLabel = nullptr;
    QComboBox* m_destinationCombo = nullptr;
    QCheckBox* m_folderPerArchiveCheck = nullptr;
    QCheckBox* m_useForAllCheck = nullptr;
    QCheckBox* m_autoOpenCheck = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;

    QString m_folder;
    bool m_cancelled = false;
    bool m_useForAll = false;
    bool m_folderPerArchive = false;
    bool m_autoOpen = false;

    FolderTreeModel* m_folders = nullptr;
    SettingsStore m_settings;
    // Set while a pick from the list moves the tree, so the tree's answer keeps the picked text.
    bool m_listPick = false;
    // The tree keeps its current folder in view until the user scrolls it.
    bool m_followSelection = true;
};

#pragma once

#include <QAbstractItemModel>
#include <QList>
#include <QPersistentModelIndex>
#include <map>
#include <utility>

class QFileSystemModel;

// The folders of the file system under a few top-level places, such as the
// user's home and "/": each place opens into the subfolders of its folder, as
// the file system lists them, in the background. One column.
class FolderTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit FolderTreeModel(QObject* parent = nullptr);
    ~FolderTreeModel() override;

    // Adds a top-level node named name that lists folder; a folder that
    // is not there adds nothing. With ownPath false the node stands for a
    // place rather than for the folder that holds it, and has no path of its
    // own (filePath gives "").
    void addPlace(const QString& name, const QString& folder, bool ownPath = true);

    // The node of a folder, below the place that holds it most closely; an
    // invalid index when no place holds it or it is not there.
    QModelIndex index(const QString& path) const;
    QString fileName(const QModelIndex& index) const;
    QString filePath(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Place
    {
        QString name;
        QString folder;
        bool ownPath = true;
        QFileSystemModel* folders = nullptr;
        QPersistentModelIndex root;
    };
    // What a node below a place points to: its place and its parent in that place's listing.
    struct Parent
    {
        int place = 0;
        QPersistentModelIndex source;
    };
    struct SavedIndex
    {
        QModelIndex proxy;
        QPersistentModelIndex source;
    };

    void forwardChanges(int place);
    template <typename AboutToChange, typename Changed>
    void forwardRows(int place, AboutToChange aboutToChange, Changed changed,
                     void (FolderTreeModel::*begin)(const QModelIndex&, int, int), void (FolderTreeModel::*end)());
    int placeOf(const QModelIndex& index) const;
    bool isPlace(const QModelIndex& index) const;
    QModelIndex sourceIndex(const QModelIndex& index) const;
    QModelIndex fromSource(int place, const QModelIndex& source) const;
    // Whether a listing's node shows below the place, the place's own folder included.
    bool shows(int place, const QModelIndex& source) const;
    const Parent* parentFor(int place, const QModelIndex& source) const;

    QList<Place> m_places;
    // Owned here so that every index handed out keeps a stable pointer to its parent.
    mutable std::map<std::pair<int, const void*>, Parent> m_parents;
    QList<SavedIndex> m_savedLayout;
};

#include "gui/prompts/FolderTreeModel.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>

FolderTreeModel::FolderTreeModel(QObject* parent)
    : QAbstractItemModel(parent)
{}

FolderTreeModel::~FolderTreeModel() = default;

void FolderTreeModel::addPlace(const QString& name, const QString& folder, bool ownPath)
{
    const QString listed = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (folder.isEmpty() || !QFileInfo(listed).isDir())
        return;
    // Each place has a listing of its own, so that every change the listing
    // reports belongs to exactly one place.
    auto* folders = new QFileSystemModel(this);
    folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    // Watching the listed folders for changes made closing the extract-folder
    // chooser wait for the listing's thread, some 10 ms before every archive;
    // the chooser is open for moments only, so each folder is listed once, as
    // it is opened.
    folders->setOption(QFileSystemModel::DontWatchForChanges);
    folders->setRootPath(listed);
    const int place = static_cast<int>(m_places.size());
    beginInsertRows(QModelIndex(), place, place);
    m_places.append({name, listed, ownPath, folders, QPersistentModelIndex(folders->index(listed))});
    endInsertRows();
    forwardChanges(place);
}

// Passes on the listing's row changes below the place; the listing's rows are
// the tree's rows, so only the parent needs translating.
template <typename AboutToChange, typename Changed>
void FolderTreeModel::forwardRows(int place, AboutToChange aboutToChange, Changed changed,
                                  void (FolderTreeModel::*begin)(const QModelIndex&, int, int),
                                  void (FolderTreeModel::*end)())
{
    QFileSystemModel* folders = m_places.at(place).folders;
    connect(folders, aboutToChange, this, [this, place, begin](const QModelIndex& parent, int first, int last) {
        if (shows(place, parent))
            (this->*begin)(fromSource(place, parent), first, last);
    });
    connect(folders, changed, this, [this, place, end](const QModelIndex& parent) {
        if (shows(place, parent))
            (this->*end)();
    });
}

void FolderTreeModel::forwardChanges(int place)
{
    QFileSystemModel* folders = m_places.at(place).folders;
    forwardRows(place, &QAbstractItemModel::rowsAboutToBeInserted, &QAbstractItemModel::rowsInserted,
                &FolderTreeModel::beginInsertRows, &FolderTreeModel::endInsertRows);
    forwardRows(place, &QAbstractItemModel::rowsAboutToBeRemoved, &QAbstractItemModel::rowsRemoved,
                &FolderTreeModel::beginRemoveRows, &FolderTreeModel::endRemoveRows);
    connect(folders, &QAbstractItemModel::dataChanged, this,
            [this, place](const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) {
                if (topLeft.column() > 0)
                    return;
                const QPersistentModelIndex& root = m_places.at(place).root;
                if (shows(place, topLeft.parent())) {
                    emit dataChanged(fromSource(place, topLeft), fromSource(place, bottomRight.siblingAtColumn(0)),
                                     roles);
                } else if (root.parent() == topLeft.parent() && root.row() >= topLeft.row() &&
                           root.row() <= bottomRight.row()) {
                    emit dataChanged(index(place, 0), index(place, 0), roles);
                }
            });
    // The listing sorts each folder once it has arrived; the nodes the view
    // holds on to must follow their folders.
    connect(folders, &QAbstractItemModel::layoutAboutToBeChanged, this, [this, place] {
        emit layoutAboutToBeChanged();
        m_savedLayout.clear();
        const QModelIndexList held = persistentIndexList();
        for (const QModelIndex& node : held) {
            if (!isPlace(node) && placeOf(node) == place)
                m_savedLayout.append({node, QPersistentModelIndex(sourceIndex(node))});
        }
    });
    connect(folders, &QAbstractItemModel::layoutChanged, this, [this, place] {
        for (const SavedIndex& saved : std::as_const(m_savedLayout))
            changePersistentIndex(saved.proxy, fromSource(place, saved.source));
        m_savedLayout.clear();
        emit layoutChanged();
    });
    connect(folders, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(folders, &QAbstractItemModel::modelReset, this, [this, place] {
        Place& reset = m_places[place];
        reset.root = QPersistentModelIndex(reset.folders->index(reset.folder));
        endResetModel();
    });
}

QModelIndex FolderTreeModel::index(const QString& path) const
{
    const QString cleanPath = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    int closest = -1;
    for (int place = 0; place < m_places.size(); ++place) {
        const QString& folder = m_places.at(place).folder;
        const bool holds = cleanPath == folder || cleanPath.startsWith(folder.endsWith(u'/') ? folder : folder + u'/');
        if (holds && (closest < 0 || folder.size() > m_places.at(closest).folder.size()))
            closest = place;
    }
    if (closest < 0)
        return QModelIndex();
    return fromSource(closest, m_places.at(closest).folders->index(cleanPath));
}

QString FolderTreeModel::fileName(const QModelIndex& index) const
{
    if (isPlace(index))
        return m_places.at(index.row()).name;
    const QModelIndex source = sourceIndex(index);
    return source.isValid() ? m_places.at(placeOf(index)).folders->fileName(source) : QString();
}

QString FolderTreeModel::filePath(const QModelIndex& index) const
{
    if (isPlace(index)) {
        const Place& place = m_places.at(index.row());
        return place.ownPath ? place.folder : QString();
    }
    const QModelIndex source = sourceIndex(index);
    return source.isValid() ? m_places.at(placeOf(index)).folders->filePath(source) : QString();
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!hasIndex(row, column, parent))
        return QModelIndex();
    if (!parent.isValid())
        return createIndex(row, column, nullptr);
    return createIndex(row, column, parentFor(placeOf(parent), sourceIndex(parent)));
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid() || isPlace(child))
        return QModelIndex();
    const auto* parent = static_cast<const Parent*>(child.internalPointer());
    return fromSource(parent->place, parent->source);
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return static_cast<int>(m_places.size());
    const QModelIndex source = sourceIndex(parent);
    return source.isValid() && parent.column() == 0 ? m_places.at(placeOf(parent)).folders->rowCount(source) : 0;
}

int FolderTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool FolderTreeModel::hasChildren(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return !m_places.isEmpty();
    const QModelIndex source = sourceIndex(parent);
    return source.isValid() && m_places.at(placeOf(parent)).folders->hasChildren(source);
}

bool FolderTreeModel::canFetchMore(const QModelIndex& parent) const
{
    const QModelIndex source = sourceIndex(parent);
    return source.isValid() && m_places.at(placeOf(parent)).folders->canFetchMore(source);
}

void FolderTreeModel::fetchMore(const QModelIndex& parent)
{
    const QModelIndex source = sourceIndex(parent);
    if (source.isValid())
        m_places.at(placeOf(parent)).folders->fetchMore(source);
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const
{
    if (isPlace(index) && role == Qt::DisplayRole)
        return m_places.at(index.row()).name;
    const QModelIndex source = sourceIndex(index);
    return source.isValid() ? source.data(role) : QVariant();
}

Qt::ItemFlags FolderTreeModel::flags(const QModelIndex& index) const
{
    const QModelIndex source = sourceIndex(index);
    return source.isValid() ? source.flags() : Qt::NoItemFlags;
}

bool FolderTreeModel::isPlace(const QModelIndex& index) const
{
    return index.isValid() && index.internalPointer() == nullptr;
}

int FolderTreeModel::placeOf(const QModelIndex& index) const
{
    const auto* parent = static_cast<const Parent*>(index.internalPointer());
    return parent ? parent->place : index.row();
}

QModelIndex FolderTreeModel::sourceIndex(const QModelIndex& index) const
{
    if (!index.isValid())
        return QModelIndex();
    if (isPlace(index))
        return m_places.at(index.row()).root;
    const auto* parent = static_cast<const Parent*>(index.internalPointer());
    // A folder gone from the listing takes its nodes with it.
    if (!parent->source.isValid())
        return QModelIndex();
    return m_places.at(parent->place).folders->index(index.row(), 0, parent->source);
}

QModelIndex FolderTreeModel::fromSource(int place, const QModelIndex& source) const
{
    if (!source.isValid())
        return QModelIndex();
    if (source == m_places.at(place).root)
        return createIndex(place, 0, nullptr);
    return createIndex(source.row(), 0, parentFor(place, source.parent()));
}

bool FolderTreeModel::shows(int place, const QModelIndex& source) const
{
    for (QModelIndex node = source; node.isValid(); node = node.parent()) {
        if (node == m_places.at(place).root)
            return true;
    }
    return false;
}

const FolderTreeModel::Parent* FolderTreeModel::parentFor(int place, const QModelIndex& source) const
{
    Parent& parent = m_parents[{place, source.internalPointer()}];
    // The listing may free a folder's node and give its address to a new one.
    if (parent.source != source)
        parent = {place, QPersistentModelIndex(source)};
    return &parent;
}

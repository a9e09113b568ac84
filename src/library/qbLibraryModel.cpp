#include "library/qbLibraryModel.h"

#include "library/qbLibrary.h"
#include "library/qbNameOrder.h"
#include "library/qbNoteInfo.h"
#include "library/qbPaths.h"

#include <QBrush>
#include <QFile>
#include <QFileInfo>
#include <QHash>

struct TqbLibraryModel::TNode {
    TNode* Parent = nullptr;
    // Kept up to date with the place in Parent->Children: views ask for a row's parent often.
    int Row = 0;
    bool Folder = true;
    // Shown: a folder's name, a note's name without its extension.
    QString Text;
    // A note's own file name.
    QString FileName;
    QByteArray RawName;
    // A folder whose entries are read into Children; one that holds nothing is read as it is made.
    bool Listed = false;
    // A folder not listed yet that holds something on disk.
    bool HasEntries = false;
    // A sync engine's conflict copy stands beside it (a folder: beside its page).
    bool Conflict = false;
    std::vector<std::unique_ptr<TNode>> Children;

    QString Name() const { return Folder ? Text : FileName; }
};

namespace {

QString ShownText(bool folder, const QString& name) {
    return folder ? name : FileNameNoExt(name);
}

// Renames and comparisons see the same key a listing sorts by.
QString EntryKey(bool folder, const QString& name, const QByteArray& rawName) {
    return (folder ? u'd' : u'f') + name + u'\0' + QString::fromLatin1(rawName.toHex());
}

} // namespace

TqbLibraryModel::TqbLibraryModel(TqbLibrary& library, QObject* parent)
    : QAbstractItemModel(parent), m_library(library), m_root(std::make_unique<TNode>()) {
    connect(&m_library, &TqbLibrary::Added, this, &TqbLibraryModel::ItemAdded);
    connect(&m_library, &TqbLibrary::Moved, this, &TqbLibraryModel::ItemMoved);
    connect(&m_library, &TqbLibrary::Removed, this, &TqbLibraryModel::ItemRemoved);
}

TqbLibraryModel::~TqbLibraryModel() = default;

void TqbLibraryModel::LoadRoot() {
    beginResetModel();
    m_root = std::make_unique<TNode>();
    if (!m_library.Root().isEmpty()) {
        m_root->Children = MakeRows(m_root.get(), m_library.List(m_library.Root()));
        m_root->Listed = true;
    }
    endResetModel();
}

void TqbLibraryModel::Clear() {
    beginResetModel();
    m_root = std::make_unique<TNode>();
    endResetModel();
}

std::vector<std::unique_ptr<TqbLibraryModel::TNode>>
TqbLibraryModel::MakeRows(TNode* folder, const TqbFolderListing& listing) {
    const QString dir = DirOf(folder);
    std::vector<std::unique_ptr<TNode>> rows;
    rows.reserve(size_t(listing.Folders.size() + listing.NoteFiles.size()));
    for (const TqbListedName& entry : listing.Folders)
        rows.push_back(MakeNode(dir, entry, true));
    for (const TqbListedName& entry : listing.NoteFiles)
        rows.push_back(MakeNode(dir, entry, false, &listing));
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i]->Parent = folder;
        rows[i]->Row = int(i);
    }
    return rows;
}

TqbLibraryModel::TNode* TqbLibraryModel::NodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<TNode*>(index.internalPointer()) : m_root.get();
}

QModelIndex TqbLibraryModel::IndexOf(const TNode* node) const {
    if (!node || node == m_root.get())
        return {};
    return createIndex(node->Row, 0, const_cast<TNode*>(node));
}

QString TqbLibraryModel::DirOf(const TNode* node) const {
    if (node == m_root.get())
        return m_library.Root();
    return DirOf(node->Parent) + u'/' + node->Text;
}

QString TqbLibraryModel::ItemPath(const QModelIndex& index) const {
    const TNode* node = NodeOf(index);
    if (node == m_root.get())
        return {};
    return node->Folder ? DirOf(node) + u'/' : DirOf(node->Parent) + u'/' + node->FileName;
}

int TqbLibraryModel::SortedRow(const TNode* parent, bool folder, const QString& text,
                               int skip) const {
    // The rows without the one at skip, which is the one being placed.
    const int count = int(parent->Children.size()) - (skip >= 0 ? 1 : 0);
    const auto at = [&](int i) {
        return parent->Children[i >= skip && skip >= 0 ? i + 1 : i].get();
    };
    int low = 0;
    int high = count;
    while (low < high) {
        const int mid = (low + high) / 2;
        const TNode* child = at(mid);
        if (qbNameOrder::CompareItems(child->Folder, child->Text, folder, text) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

int TqbLibraryModel::ChildRow(const TNode* parent, bool folder, const QString& name,
                              bool shownNames) const {
    const QString text = ShownText(folder, name);
    int shown = -1;
    // Notes may share a text ("a.htm", "a.HTM"): they lie side by side.
    for (int row = SortedRow(parent, folder, text); row < int(parent->Children.size()); ++row) {
        const TNode* child = parent->Children[row].get();
        if (child->Folder != folder || child->Text != text)
            break;
        if (child->Name() == name && child->RawName.isEmpty())
            return row;
        if (shown < 0)
            shown = row;
    }
    return shownNames ? shown : -1;
}

TqbLibraryModel::TNode* TqbLibraryModel::FolderNode(const QString& dir) const {
    const QString root = m_library.Root();
    if (root.isEmpty())
        return nullptr;
    const QString path = StripTrailingDelim(dir);
    if (path == root)
        return m_root.get();
    return path.startsWith(root + u'/') ? Find(path + u'/') : nullptr;
}

TqbLibraryModel::TNode* TqbLibraryModel::Find(const QString& itemPath, bool shownNames) const {
    const QString prefix = m_library.Root() + u'/';
    if (m_library.Root().isEmpty() || !itemPath.startsWith(prefix))
        return nullptr;
    const QStringList names = itemPath.mid(prefix.size()).split(u'/', Qt::SkipEmptyParts);
    if (names.isEmpty())
        return nullptr;
    const bool folder = itemPath.endsWith(u'/');
    TNode* node = m_root.get();
    for (qsizetype n = 0; n < names.size(); ++n) {
        const int row = ChildRow(node, folder || n + 1 < names.size(), names[n], shownNames);
        if (row < 0)
            return nullptr;
        node = node->Children[row].get();
    }
    return node;
}

QModelIndex TqbLibraryModel::IndexOf(const QString& itemPath, bool shownNames) const {
    return IndexOf(Find(itemPath, shownNames));
}

bool TqbLibraryModel::IsListed(const QString& dir) const {
    const TNode* node = FolderNode(dir);
    return node && node->Listed;
}

bool TqbLibraryModel::IsFolder(const QModelIndex& index) const {
    return index.isValid() && NodeOf(index)->Folder;
}

bool TqbLibraryModel::IsUnlisted(const QModelIndex& index) const {
    const TNode* node = NodeOf(index);
    return index.isValid() && node->Folder && !node->Listed && node->HasEntries;
}

void TqbLibraryModel::List(const QModelIndex& folder) {
    TNode* node = NodeOf(folder);
    if (folder.isValid() && node->Folder && !node->Listed)
        List(node);
}

std::unique_ptr<TqbLibraryModel::TNode>
TqbLibraryModel::MakeNode(const QString& dir, const TqbListedName& entry, bool folder,
                          const TqbFolderListing* listing) const {
    auto node = std::make_unique<TNode>();
    node->Folder = folder;
    node->Conflict = !folder && listing && listing->Conflicted.contains(entry.Name);
    node->Text = ShownText(folder, entry.Name);
    node->FileName = folder ? QString() : entry.Name;
    node->RawName = entry.RawName;
    if (folder) {
        node->HasEntries = entry.RawName.isEmpty()
                               ? FolderHasEntries(dir + u'/' + entry.Name)
                               : FolderHasEntries(QFile::encodeName(dir + u'/') + entry.RawName);
        // So what comes into it shows as a row at once.
        node->Listed = !node->HasEntries;
    }
    return node;
}

void TqbLibraryModel::List(TNode* folder) {
    const TqbFolderListing listing = m_library.List(DirOf(folder));
    MarkConflict(folder, listing);
    std::vector<std::unique_ptr<TNode>> children = MakeRows(folder, listing);
    if (children.empty())
        return;
    beginInsertRows(IndexOf(folder), 0, int(children.size()) - 1);
    folder->Listed = true;
    folder->Children = std::move(children);
    endInsertRows();
}

void TqbLibraryModel::MarkConflict(TNode* folder, const TqbFolderListing& listing) {
    if (folder != m_root.get())
        SetConflict(folder, listing.Conflicted.contains(TqbNoteInfo::FolderDescriptionName));
}

void TqbLibraryModel::SetConflict(TNode* node, bool conflict) {
    if (node->Conflict == conflict)
        return;
    node->Conflict = conflict;
    const QModelIndex index = IndexOf(node);
    emit dataChanged(index, index);
}

void TqbLibraryModel::SetHasEntries(TNode* folder, bool hasEntries) {
    if (folder->Listed || folder->HasEntries == hasEntries || folder == m_root.get())
        return;
    folder->HasEntries = hasEntries;
    const QModelIndex index = IndexOf(folder);
    emit dataChanged(index, index);
}

bool TqbLibraryModel::Refresh(const QString& dir) {
    TNode* folder = FolderNode(dir);
    if (!folder)
        return false;
    if (!folder->Listed) {
        const bool had = folder->HasEntries;
        SetHasEntries(folder, FolderHasEntries(DirOf(folder)));
        return had != folder->HasEntries;
    }
    return Merge(folder);
}

bool TqbLibraryModel::Merge(TNode* folder) {
    const QString dir = DirOf(folder);
    const TqbFolderListing listing = ListFolder(dir, m_library.NoteExt, m_library.Root());
    QList<std::pair<TqbListedName, bool>> entries;
    for (const TqbListedName& entry : listing.Folders)
        entries.append({entry, true});
    for (const TqbListedName& entry : listing.NoteFiles)
        entries.append({entry, false});
    QHash<QString, qsizetype> keys;
    for (qsizetype i = 0; i < entries.size(); ++i)
        keys.insert(EntryKey(entries[i].second, entries[i].first.Name, entries[i].first.RawName),
                    i);

    MarkConflict(folder, listing);
    bool changed = false;
    for (int row = int(folder->Children.size()) - 1; row >= 0; --row) {
        const TNode* child = folder->Children[row].get();
        if (!keys.contains(EntryKey(child->Folder, child->Name(), child->RawName))) {
            RemoveRow(folder, row);
            changed = true;
        }
    }
    // Both in the listing's order: new entries go in before the first row that follows them.
    const QModelIndex parent = IndexOf(folder);
    int row = 0;
    for (qsizetype i = 0; i < entries.size();) {
        const auto& [entry, isFolder] = entries[i];
        if (row < int(folder->Children.size())) {
            TNode* child = folder->Children[row].get();
            if (EntryKey(child->Folder, child->Name(), child->RawName) ==
                EntryKey(isFolder, entry.Name, entry.RawName)) {
                if (!child->Folder)
                    SetConflict(child, listing.Conflicted.contains(entry.Name));
                if (child->Folder && child->Listed && child->Children.empty() &&
                    FolderHasEntries(DirOf(child))) {
                    // Filled while it showed nothing: read again when it is fetched.
                    child->Listed = false;
                    child->HasEntries = true;
                    emit dataChanged(IndexOf(child), IndexOf(child));
                    changed = true;
                } else if (child->Folder && !child->Listed) {
                    const bool had = child->HasEntries;
                    SetHasEntries(child, FolderHasEntries(DirOf(child)));
                    changed = changed || had != child->HasEntries;
                }
                ++row;
                ++i;
                continue;
            }
        }
        // The run of new entries before the next row that was there already.
        const QString nextKey =
            row < int(folder->Children.size())
                ? EntryKey(folder->Children[row]->Folder, folder->Children[row]->Name(),
                           folder->Children[row]->RawName)
                : QString();
        std::vector<std::unique_ptr<TNode>> run;
        while (i < entries.size() && EntryKey(entries[i].second, entries[i].first.Name,
                                              entries[i].first.RawName) != nextKey)
            run.push_back(MakeNode(dir, entries[i].first, entries[i].second, &listing)), ++i;
        beginInsertRows(parent, row, row + int(run.size()) - 1);
        for (auto& node : run) {
            node->Parent = folder;
            folder->Children.insert(folder->Children.begin() + row, std::move(node));
            ++row;
        }
        for (int r = 0; r < int(folder->Children.size()); ++r)
            folder->Children[r]->Row = r;
        endInsertRows();
        changed = true;
    }
    return changed;
}

void TqbLibraryModel::Insert(TNode* parent, std::unique_ptr<TNode> node) {
    const int row = SortedRow(parent, node->Folder, node->Text);
    beginInsertRows(IndexOf(parent), row, row);
    node->Parent = parent;
    parent->Children.insert(parent->Children.begin() + row, std::move(node));
    for (int r = row; r < int(parent->Children.size()); ++r)
        parent->Children[r]->Row = r;
    endInsertRows();
}

void TqbLibraryModel::RemoveRow(TNode* parent, int row) {
    beginRemoveRows(IndexOf(parent), row, row);
    parent->Children.erase(parent->Children.begin() + row);
    for (int r = row; r < int(parent->Children.size()); ++r)
        parent->Children[r]->Row = r;
    endRemoveRows();
}

void TqbLibraryModel::MoveNode(TNode* node, TNode* newParent, const QString& name) {
    TNode* oldParent = node->Parent;
    const int row = node->Row;
    const QString text = ShownText(node->Folder, name);
    const bool same = oldParent == newParent;
    const int place = SortedRow(newParent, node->Folder, text, same ? row : -1);
    // Before the move: a place below the row itself counts the row.
    const int dest = same && place >= row ? place + 1 : place;
    const bool moves = !same || (dest != row && dest != row + 1);
    if (moves)
        beginMoveRows(IndexOf(oldParent), row, row, IndexOf(newParent), dest);
    node->Text = text;
    node->FileName = node->Folder ? QString() : name;
    node->RawName.clear();
    if (moves) {
        std::unique_ptr<TNode> taken = std::move(oldParent->Children[row]);
        oldParent->Children.erase(oldParent->Children.begin() + row);
        newParent->Children.insert(newParent->Children.begin() + place, std::move(taken));
        node->Parent = newParent;
        for (int r = 0; r < int(oldParent->Children.size()); ++r)
            oldParent->Children[r]->Row = r;
        for (int r = 0; r < int(newParent->Children.size()); ++r)
            newParent->Children[r]->Row = r;
        endMoveRows();
    }
    const QModelIndex index = IndexOf(node);
    emit dataChanged(index, index);
}

void TqbLibraryModel::ForgetRawName(const QModelIndex& index) {
    TNode* node = NodeOf(index);
    if (node == m_root.get() || node->RawName.isEmpty())
        return;
    node->RawName.clear();
    emit dataChanged(index, index);
}

void TqbLibraryModel::ItemAdded(const QString& itemPath) {
    const QString path = StripTrailingDelim(itemPath);
    const QFileInfo info(path);
    TNode* parent = FolderNode(info.path());
    if (!parent)
        return;
    // A folder not listed yet shows it once it is fetched.
    if (!parent->Listed) {
        SetHasEntries(parent, true);
        return;
    }
    const bool folder = itemPath.endsWith(u'/');
    if (ChildRow(parent, folder, info.fileName()) >= 0)
        return;
    Insert(parent, MakeNode(info.path(), {info.fileName(), {}}, folder));
}

void TqbLibraryModel::ItemMoved(const QString& oldItemPath, const QString& newItemPath) {
    TNode* node = Find(oldItemPath);
    const QFileInfo to(StripTrailingDelim(newItemPath));
    TNode* newParent = FolderNode(to.path());
    if (!node) {
        ItemAdded(newItemPath);
        return;
    }
    if (!newParent || !newParent->Listed) {
        RemoveRow(node->Parent, node->Row);
        if (newParent)
            SetHasEntries(newParent, true);
        return;
    }
    // What held the new name before is gone (replaced).
    if (TNode* there = Find(newItemPath); there && there != node)
        RemoveRow(there->Parent, there->Row);
    MoveNode(node, newParent, to.fileName());
}

void TqbLibraryModel::ItemRemoved(const QString& itemPath) {
    if (TNode* node = Find(itemPath))
        RemoveRow(node->Parent, node->Row);
}

QModelIndex TqbLibraryModel::index(int row, int column, const QModelIndex& parent) const {
    const TNode* node = NodeOf(parent);
    if (column != 0 || row < 0 || row >= int(node->Children.size()))
        return {};
    return createIndex(row, 0, node->Children[row].get());
}

QModelIndex TqbLibraryModel::parent(const QModelIndex& child) const {
    return child.isValid() ? IndexOf(NodeOf(child)->Parent) : QModelIndex();
}

int TqbLibraryModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return 0;
    return int(NodeOf(parent)->Children.size());
}

int TqbLibraryModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool TqbLibraryModel::hasChildren(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return false;
    const TNode* node = NodeOf(parent);
    return node->Listed ? !node->Children.empty() : node->Folder && node->HasEntries;
}

bool TqbLibraryModel::canFetchMore(const QModelIndex& parent) const {
    const TNode* node = NodeOf(parent);
    return m_listOnFetch && node->Folder && !node->Listed && node != m_root.get();
}

void TqbLibraryModel::fetchMore(const QModelIndex& parent) {
    if (canFetchMore(parent))
        List(NodeOf(parent));
}

QVariant TqbLibraryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const TNode* node = NodeOf(index);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return node->Text;
    case ImageIndexRole:
        return int(node->Folder ? FolderImage : NoteImage);
    case FileNameRole:
        return node->Folder ? QVariant() : QVariant(node->FileName);
    case RawNameRole:
        return node->RawName.isEmpty() ? QVariant() : QVariant(node->RawName);
    case ItemPathRole:
        return ItemPath(index);
    case ConflictRole:
        return node->Conflict;
    case Qt::ToolTipRole:
        return node->Conflict ? QVariant(ConflictTip) : QVariant();
    case Qt::ForegroundRole:
        return node->Conflict ? QVariant(QBrush(ConflictColor)) : QVariant();
    default:
        return {};
    }
}

Qt::ItemFlags TqbLibraryModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (NodeOf(index)->Folder)
        flags |= Qt::ItemIsDropEnabled;
    return flags;
}

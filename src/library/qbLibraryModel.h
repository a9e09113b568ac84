#pragma once

#include "library/qbFolderListing.h"

#include <QAbstractItemModel>
#include <QByteArray>
#include <QColor>
#include <QString>
#include <memory>
#include <vector>

class TqbLibrary;

// The listed folders and notes of the library as rows, in the names' order (qbNameOrder): folders
// first, notes by their names without the extension. A folder's rows are read the first time they
// are fetched; until then it only knows whether it holds anything. The rows follow what the
// library announces (our own changes and another program's moves) and what Refresh finds.
// Item paths as the library's: a folder's ends with "/".
class TqbLibraryModel : public QAbstractItemModel {
    Q_OBJECT

public:
    enum TImageIndex {
        FolderImage = 0,
        FolderSelectedImage = 1,
        NoteImage = 2,
        NoteSelectedImage = 3
    };
    static constexpr int ImageIndexRole = Qt::UserRole;
    // A note's own file name: its text followed by its extension as it is on disk.
    static constexpr int FileNameRole = Qt::UserRole + 2;
    // The bytes of a name that is not in the file name encoding (shown decoded from CP949).
    static constexpr int RawNameRole = Qt::UserRole + 3;
    static constexpr int ItemPathRole = Qt::UserRole + 4;
    // True on a note, or a folder by its page, that a sync engine's conflict copy stands beside:
    // drawn in ConflictColor, with ConflictTip.
    static constexpr int ConflictRole = Qt::UserRole + 5;
    static inline const QString ConflictTip =
        QStringLiteral("다른 컴퓨터에서 따로 고친 충돌 사본이 옆에 있습니다.");
    static inline const QColor ConflictColor = QColor(0xC0, 0x30, 0x30);

    explicit TqbLibraryModel(TqbLibrary& library, QObject* parent = nullptr);
    ~TqbLibraryModel() override;

    // Drops every row and lists the library's root anew.
    void LoadRoot();
    // Drops every row until the next LoadRoot.
    void Clear();

    // Folder: its directory followed by "/"; note: its own file; empty for the top level.
    QString ItemPath(const QModelIndex& index) const;
    // The row of an item path; invalid when it is not listed (or is the top level, or its name is
    // still in CP949 bytes: no path of ours reaches it). With shownNames a row without the exact
    // name answers to the name it shows (a note's extension in another case, a name in CP949
    // bytes).
    QModelIndex IndexOf(const QString& itemPath, bool shownNames = false) const;
    // Whether the rows of dir (no trailing "/"; the root: the top level) are read.
    bool IsListed(const QString& dir) const;
    bool IsFolder(const QModelIndex& index) const;
    // A folder not read yet that holds something on disk.
    bool IsUnlisted(const QModelIndex& index) const;
    // Reads the rows of a folder not read yet; nothing for other rows. A folder whose listing
    // shows nothing stays unread, so every try lists it again.
    void List(const QModelIndex& folder);
    // Whether a view's fetchMore (as it expands a row) reads the folder; on unless turned off by
    // a view that decides itself when a folder is read.
    void SetListOnFetch(bool on) { m_listOnFetch = on; }
    // Lists dir again (no trailing "/"; the root: the top level) and merges what changed into its
    // rows; a folder not listed yet only learns whether it holds anything. True when the rows
    // changed.
    bool Refresh(const QString& dir);
    // The name of the row is usable now (its CP949 bytes were renamed to the shown name).
    void ForgetRawName(const QModelIndex& index);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct TNode;

    TNode* NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOf(const TNode* node) const;
    // The node of an item path; null when it is not listed.
    TNode* Find(const QString& itemPath, bool shownNames = false) const;
    // The node of a folder's directory (no trailing "/"); the root node for the root.
    TNode* FolderNode(const QString& dir) const;
    // A child's row by its kind and name (a note's own file name); -1 when not there.
    int ChildRow(const TNode* parent, bool folder, const QString& name,
                 bool shownNames = false) const;
    // Where a node with this kind and shown name goes among parent's children.
    int SortedRow(const TNode* parent, bool folder, const QString& text, int skip = -1) const;
    QString DirOf(const TNode* node) const;
    std::unique_ptr<TNode> MakeNode(const QString& dir, const TqbListedName& entry, bool folder,
                                    const TqbFolderListing* listing = nullptr) const;
    // The listing's entries as rows of folder.
    std::vector<std::unique_ptr<TNode>> MakeRows(TNode* folder, const TqbFolderListing& listing);
    void List(TNode* folder);
    // A listed folder's own mark, from its page.
    void MarkConflict(TNode* folder, const TqbFolderListing& listing);
    void SetConflict(TNode* node, bool conflict);
    bool Merge(TNode* folder);
    void SetHasEntries(TNode* folder, bool hasEntries);
    void Insert(TNode* parent, std::unique_ptr<TNode> node);
    void RemoveRow(TNode* parent, int row);
    // Renames node and takes it to its place under newParent (its own parent too).
    void MoveNode(TNode* node, TNode* newParent, const QString& name);

    void ItemAdded(const QString& itemPath);
    void ItemMoved(const QString& oldItemPath, const QString& newItemPath);
    void ItemRemoved(const QString& itemPath);

    TqbLibrary& m_library;
    std::unique_ptr<TNode> m_root;
    bool m_listOnFetch = true;
};

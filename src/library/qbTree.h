#pragma once

#include "library/qbLibrary.h"
#include "library/qbLibraryModel.h"
#include "library/qbTreeRules.h"

#include <QBrush>
#include <QList>
#include <QPersistentModelIndex>
#include <QScopedValueRollback>
#include <QPixmap>
#include <QSet>
#include <QString>
#include <QTreeWidget>
#include <array>
#include <functional>

class IqbTreeHost;
class TqbLibraryWatcher;
class QDialog;
class QTimer;
class QMenu;
class QKeyEvent;
class QAction;
class QLabel;
class TqbKeyHandOff;

// Milliseconds of one steady clock; wraps like a 32-bit tick counter.
quint32 qbTickCount();

// The note tree: mirrors the data directory, lists folders the first time they open and turns a
// change of selection into "save the open note, then open the selected one" on the host.
// A node holds its text and its image index, which is also its kind; a note also keeps its own
// file name (its extension may be ".HTM"), and a name that is not in the file name encoding keeps
// its bytes.
class TqbTree : public QTreeWidget {
    Q_OBJECT

public:
    // A row's kind and the roles of its name are the library model's.
    using TImageIndex = TqbLibraryModel::TImageIndex;
    static constexpr TImageIndex FolderImage = TqbLibraryModel::FolderImage;
    static constexpr TImageIndex FolderSelectedImage = TqbLibraryModel::FolderSelectedImage;
    static constexpr TImageIndex NoteImage = TqbLibraryModel::NoteImage;
    static constexpr TImageIndex NoteSelectedImage = TqbLibraryModel::NoteSelectedImage;
    static constexpr int ImageIndexRole = TqbLibraryModel::ImageIndexRole;
    static constexpr int FileNameRole = TqbLibraryModel::FileNameRole;
    static constexpr int RawNameRole = TqbLibraryModel::RawNameRole;
    // True on the placeholder only: no real name can carry it.
    static constexpr int PlaceholderRole = Qt::UserRole + 1;
    // True on a note, or a folder by its page, that a sync engine's conflict copy stands beside:
    // drawn in ConflictColor, with ConflictTip.
    static constexpr int ConflictRole = Qt::UserRole + 4;
    static inline const QString ConflictTip =
        QStringLiteral("다른 컴퓨터에서 따로 고친 충돌 사본이 옆에 있습니다.");
    static inline const QColor ConflictColor = QColor(0xC0, 0x30, 0x30);
    // The only child of a folder whose contents are on disk but not listed yet.
    static inline const QString PlaceholderText = QStringLiteral("-\a");
    static constexpr int OutsideMoveSearchLimit = TqbLibrary::OutsideMoveSearchLimit;

    static inline const QString& RawNameQuestion = TqbLibrary::RawNameQuestion;
    static inline const QString NotANoteMessage =
        QStringLiteral("\"%1\" 은(는) 보통 파일이 아니어서 열 수 없습니다.");
    static inline const QString OutsideLibraryMessage =
        QStringLiteral("\"%1\" 은(는) 데이터 폴더 밖에 있어 열 수 없습니다.");
    // Shown in place of the rows while the library's root folder is not there.
    static inline const QString LibraryGoneMessage =
        QStringLiteral("데이터 폴더를 찾을 수 없습니다.\n%1");
    static inline const QString LibraryGoneHint =
        QStringLiteral("디스크를 다시 연결하거나 폴더를 제자리로 옮기면 바로 다시 보입니다. "
                       "그때까지 이 폴더에는 아무것도 쓰지 않습니다.");

    // The library outlives the tree.
    TqbTree(IqbTreeHost& host, TqbLibrary& library, QWidget* owner);
    ~TqbTree() override;

    // Set by the window before the first LoadRoot.
    QString NoteExt = QStringLiteral(".htm");

    const QString& RootDir() const { return m_rootDir; }
    // The document open in the editor (the host's): a note file or a folder's description file.
    QString OpenPath() const;
    // The node under the pointer at the last mouse press (or pop-up opening).
    QTreeWidgetItem* ContextNode() const;
    quint32 LastExpandTick() const { return m_lastExpandTick; }

    // Folder, folder while selected, note, note while selected.
    void SetImages(const QList<QPixmap>& images);
    // Where the tick count comes from; qbTickCount unless replaced.
    void SetTickSource(std::function<quint32()> tickSource);

    // Clears the tree and lists dir (one trailing "/" removed) at the top level. The open
    // document stays open; no node is selected afterwards. A dir that is not there shows
    // LibraryGoneMessage instead of rows until it is.
    void LoadRoot(const QString& dir);
    // The root folder is not there: no rows, only the message (objectName "libraryGone").
    bool ShowsLibraryGone() const { return m_showsGone; }
    // Lists dir into the children of node, or into the top level when node is null.
    void ScanFolder(QTreeWidgetItem* node, const QString& dir);
    // Lists an unlisted folder and expands it; nothing for other nodes.
    void LoadChildren(QTreeWidgetItem* node);
    // Opens a folder node, listing it if needed, and notes the time.
    void ExpandFolder(QTreeWidgetItem* node);

    // Folder: its directory; note: its file path without extension; null: RootDir.
    QString NodePath(const QTreeWidgetItem* node) const;
    // RootDir + "/" + the ancestors' texts, each followed by "/"; empty for null.
    QString NodeDirPrefix(const QTreeWidgetItem* node) const;
    // A note's own file name (text + NoteExt for a node made without one).
    QString NoteFileName(const QTreeWidgetItem* note) const;
    // Where a node's item is on disk: a folder's directory followed by "/", a note's own file.
    QString ItemPath(const QTreeWidgetItem* node) const;
    // ItemPath of the selected node; empty when nothing is selected, or when the selected
    // node's name still is in CP949 bytes (no path of ours reaches it).
    QString SelectedPath() const;
    // Makes path the open document and has the host load it, unless it is open already. A
    // path the editor must not open (a pipe, a link out of the library) is refused with a
    // message; then, as for an empty path, nothing is open and the host drops what it showed.
    void SetOpenPath(const QString& path);
    // A node whose name is in CP949 bytes is renamed to its decoded name once the user agrees;
    // false when it still cannot be reached. True at once for every other node.
    bool MakeUsable(QTreeWidgetItem* node);

    // -- another program's changes (qbTreeWatch.cpp)

    // Lists every listed folder again and merges what changed into the nodes: open folders stay
    // open, the selection and the scroll position stay.
    void Refresh();
    // Lists dir (RootDir: the top level) again and merges its entries into its node; true when
    // the nodes changed. Nothing for a folder that is not listed.
    bool RefreshFolder(const QString& dir);
    // While hold() is true another program's changes wait (a save or a dialog is running).
    void SetWatchHold(std::function<bool()> hold) { m_watchHold = std::move(hold); }
    // The names of the notes that link to a document (a note's file, a folder's page), named
    // in the question before it is deleted.
    using TLinkingNames = std::function<QStringList(const QString& documentPath)>;
    void SetLinkingNames(TLinkingNames names) { m_linkingNames = std::move(names); }
    const TqbLibraryWatcher& Watcher() const { return *m_watcher; }

    // -- operations (qbTreeOps.cpp)

    static inline const QString& RenameFailedMessage = TqbLibrary::RenameFailedMessage;
    static inline const QString MoveBelowMessage = QStringLiteral("하위로의 이동은 안됩니다.");
    static inline const QString DeleteQuestionSuffix = QStringLiteral(" 을(를) 삭제합니까?");
    static inline const QString LinkedFromText =
        QStringLiteral("다른 노트 %1개가 이 노트를 가리킵니다");
    static inline const QString& PicturesNotKeptMessage = TqbLibrary::PicturesNotKeptMessage;
    static inline const QString& ReplaceQuestion = TqbLibrary::ReplaceQuestion;

    // Lists a note the program wrote itself (a kept copy of the open note) under its folder's
    // node; nothing when that folder is not listed yet (it is when opened).
    void ShowWrittenNote(const QString& filePath);

    // true: at the top level whatever is selected.
    void NewFolder(bool forceRoot);
    void NewNote(bool forceRoot);
    void RenameNode(QTreeWidgetItem* node);
    void DeleteNode(QTreeWidgetItem* node);
    // target null: the top level.
    void MoveNode(QTreeWidgetItem* target, QTreeWidgetItem* source);
    bool ShellMove(const QString& source, const QString& destFolder);
    bool ShellDelete(const QString& path);
    // Whether target is source itself or lies inside it; false for null or top-level targets.
    static bool IsUnder(const QTreeWidgetItem* source, const QTreeWidgetItem* target);

    // The node marked by Cut; null when none, or when the marked node is gone.
    QTreeWidgetItem* CutNode() const;
    void SetContextNode(QTreeWidgetItem* node);
    // The pop-up menu and its commands, acting on ContextNode.
    QMenu* PopupMenu() const { return m_popup; }
    QAction* PopupItem(const QString& objectName) const;
    void PopupCut();
    void PopupPaste();
    void PopupNewFolder();
    void PopupNewNote();
    void PopupRename();
    void PopupDelete();
    void PopupRefresh();
    void PopupVersions();
    void PopupBacklinks();
    // Switches the pop-up items on and off for the present ContextNode and CutNode.
    void UpdatePopupItems();
    // A drop of the selected node at pos (viewport coordinates).
    void DropAt(QPoint pos);
    // How the name dialogs are shown; true when confirmed. exec() unless replaced.
    void SetDialogRunner(std::function<bool(QDialog&)> runner);

    // fileName: a note's own file name; rawName: see RawNameRole.
    static QTreeWidgetItem* NewNode(const QString& text, int imageIndex,
                                    const QString& fileName = {}, const QByteArray& rawName = {});
    static QTreeWidgetItem* NewPlaceholder();
    // Turns node (a placeholder too) into the given entry.
    static void SetEntry(QTreeWidgetItem* node, const QString& text, int imageIndex,
                         const QString& fileName = {}, const QByteArray& rawName = {});
    static void MarkConflict(QTreeWidgetItem* node, bool conflict);
    static int ImageIndex(const QTreeWidgetItem* node);
    static bool IsFolder(const QTreeWidgetItem* node);
    static bool IsPlaceholder(const QTreeWidgetItem* node);
    // A folder whose first child is the placeholder.
    static bool IsUnlisted(const QTreeWidgetItem* node);

    // The mark of the row the open pop-up menu acts on; no brush for every other row.
    QBrush PopupMark(const QTreeWidgetItem* node) const;
    // The pop-up menu for the current row, as the keyboard asks for it.
    void ShowPopupAtCurrent();

    // Where the node's icon starts, in viewport coordinates.
    int IconLeft(const QTreeWidgetItem* node) const;
    // The picture a node is drawn with, from the images given to SetImages.
    const QIcon& IconFor(const QTreeWidgetItem* node) const;

signals:
    // Another program's changes were merged into these folders' nodes (RootDir: the top level).
    void FoldersRefreshed(const QStringList& dirs);
    // "이전 버전" was chosen on a node: the item path of the note or folder.
    void VersionsRequested(const QString& itemPath);
    // The notes linking to a node were asked for: its document (a folder's page for a folder).
    void BacklinksRequested(const QString& documentPath);
    // A batch of another program's changes was handled; the open document may be among them.
    void OutsideChangeSeen();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    // Node pointers are held across this: another program's changes wait until it ends.
    class TBusy {
    public:
        explicit TBusy(TqbTree& tree) : m_tree(tree) { ++m_tree.m_busy; }
        ~TBusy() { --m_tree.m_busy; }
        TBusy(const TBusy&) = delete;
        TBusy& operator=(const TBusy&) = delete;

    private:
        TqbTree& m_tree;
    };

    // What the library announces, shown in the nodes.
    void ItemAdded(const QString& itemPath);
    void ItemMoved(const QString& oldItemPath, const QString& newItemPath);
    void ItemRemoved(const QString& itemPath);
    // The node of an item path; null when it is not shown (or is the top level).
    QTreeWidgetItem* ItemNode(const QString& itemPath) const;
    // ItemNode, trying the node the running command acts on first.
    QTreeWidgetItem* NodeOf(const QString& itemPath) const;
    // Acts on node (null: none yet) until the returned guard goes.
    [[nodiscard]] QScopedValueRollback<QPersistentModelIndex> ActOn(QTreeWidgetItem* node);

    // Nodes of moved and removed items go once the library's call is done: the open document
    // has followed by then, before a vanishing node moves the selection on.
    void ShowMovedNodes();
    // The watch on the open file follows the host's path, once it has followed.
    void ScheduleOpenFileWatch();
    // With the wait cursor up.
    bool MoveItem(const QString& itemPath, const QString& destFolder);

    void ScheduleWatchSync();
    // LoadRoot without setting the library's root.
    void ListRoot();
    // The tree follows the root folder's going and coming back, once no node is held.
    void FollowPresence();
    // Its rows go, nothing of it counts as deleted and nothing there is watched; the open
    // document stays open with its typing.
    void ShowLibraryGone();
    // Watches the top level, every open folder that shows, the closed ones that show (for their
    // expand arrows) and the open document; an open folder that shows again after it was let go
    // is listed anew.
    void SyncWatches();
    void MergeBatch(const QStringList& dirs);
    // Nodes whose file or folder another program renamed or moved follow it, as the library
    // finds it by its identity; the selection stays on the open document. The folders moved from
    // and into.
    QStringList FollowOutsideMoves(const QStringList& dirs);
    // The node of a document path (a folder's description page: the folder), its folders opened
    // on the way; null when it is not in the library.
    QTreeWidgetItem* ShownNode(const QString& documentPath);
    // A closed folder's expand arrow, as its entries on disk say; true when it changed.
    bool ShowArrow(QTreeWidgetItem* node, const QString& dir);
    bool MergeFolder(QTreeWidgetItem* node, const QString& dir);
    // The node of a listed folder's directory; null with *found for the top level.
    QTreeWidgetItem* FolderNode(const QString& dir, bool* found) const;
    void PressAt(QPoint pos, Qt::MouseButton button);
    void DoubleClickAt(QPoint pos);
    void CurrentNodeChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void RefuseUnlistedExpansion(QTreeWidgetItem* node);
    void CreatePopupMenu();
    // Opens the pop-up menu at globalPos, acting on node (null: empty space).
    void ShowPopup(QTreeWidgetItem* node, QPoint globalPos);
    // The new item goes where the pop-up menu was opened: into a folder, beside a note in a
    // folder, else at the top level.
    void PopupCreate(void (TqbTree::*create)(bool forceRoot));
    // Nothing is made where the root folder is not there: true, and the user is told.
    bool RefusedWhileGone();
    // Ctrl+X and Ctrl+V act on the current row as Cut and Paste do on the menu's row.
    bool IsTreeEditKey(const QKeyEvent* event) const;
    void StartNodeDrag();
    bool RunDialog(QDialog& dialog, TqbKeyHandOff& handOff);
    // The row where node belongs among owner's children, which are in the listing's order.
    static int SortedRow(const QTreeWidgetItem* owner, const QTreeWidgetItem* node);
    // A renamed node goes to its place in the listing's order.
    void KeepInOrder(QTreeWidgetItem* node);
    // Adds a node under parent (null: top level) in its place, taking over a lone placeholder;
    // not selected.
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& text, int imageIndex,
                             const QString& fileName = {});
    // Nothing is open any more: the host drops what it shows without writing it.
    void CloseOpenDocument();

    IqbTreeHost& m_host;
    // The files under the nodes; the nodes follow what it announces.
    TqbLibrary& m_library;
    // Moved nodes and their new folders (removed ones: none), shown when the call is done.
    QList<std::pair<QPersistentModelIndex, QString>> m_movedNodes;
    // Calls of ours into the library under way.
    int m_libraryCalls = 0;
    // The node a command acts on while it calls the library; the node added by its call. Held
    // by index and only for the length of the call, so a row deleted meanwhile leaves nothing.
    QPersistentModelIndex m_actingNode;
    QString m_rootDir;
    QPersistentModelIndex m_contextNode;
    QPersistentModelIndex m_cutNode;
    QMenu* m_popup = nullptr;
    QAction* m_itemCut = nullptr;
    QAction* m_itemPaste = nullptr;
    QAction* m_itemRename = nullptr;
    QAction* m_itemDelete = nullptr;
    QAction* m_itemVersions = nullptr;
    QAction* m_itemBacklinks = nullptr;
    bool m_popupShowing = false;
    QPoint m_pressPos;
    QPersistentModelIndex m_pressNode;
    std::function<bool(QDialog&)> m_runDialog;
    quint32 m_lastExpandTick = 0;
    bool m_revertingSelection = false;
    std::function<quint32()> m_tick;
    // Folder, note, placeholder.
    std::array<QIcon, 3> m_icons;
    TqbLibraryWatcher* m_watcher = nullptr;
    QTimer* m_watchSync = nullptr;
    std::function<bool()> m_watchHold;
    TLinkingNames m_linkingNames;
    // Folders listed since the watches were last set: they need no second listing.
    QSet<QString> m_fresh;
    // The folders watched, as last given to the watcher.
    QSet<QString> m_watched;
    int m_busy = 0;
    bool m_merging = false;
    QLabel* m_goneLabel = nullptr;
    bool m_showsGone = false;
};

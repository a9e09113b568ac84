#pragma once

#include "library/qbLibrary.h"
#include "library/qbLibraryModel.h"
#include "library/qbTreeRules.h"

#include <QBrush>
#include <QList>
#include <QPersistentModelIndex>
#include <QPixmap>
#include <QSet>
#include <QString>
#include <QTreeView>
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

// The note tree: a view of the library's rows (TqbLibraryModel) that lists folders the first time
// they open and turns a change of selection into "save the open note, then open the selected one"
// on the host. A node is a row of the model.
class TqbTree : public QTreeView {
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
    static constexpr int ConflictRole = TqbLibraryModel::ConflictRole;
    static inline const QString& ConflictTip = TqbLibraryModel::ConflictTip;
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
    const TqbLibraryModel& Model() const { return *m_model; }
    // The document open in the editor (the host's): a note file or a folder's description file.
    QString OpenPath() const;
    // The node under the pointer at the last mouse press (or pop-up opening).
    QModelIndex ContextNode() const;
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
    // Lists an unlisted folder and expands it; nothing for other nodes.
    void LoadChildren(const QModelIndex& node);
    // Opens a folder node, listing it if needed, and notes the time.
    void ExpandFolder(const QModelIndex& node);

    // Folder: its directory; note: its file path without extension; none: RootDir.
    QString NodePath(const QModelIndex& node) const;
    // RootDir + "/" + the ancestors' texts, each followed by "/"; empty for none.
    QString NodeDirPrefix(const QModelIndex& node) const;
    // A note's own file name.
    QString NoteFileName(const QModelIndex& note) const;
    // Where a node's item is on disk: a folder's directory followed by "/", a note's own file.
    QString ItemPath(const QModelIndex& node) const;
    // ItemPath of the selected node; empty when nothing is selected, or when the selected
    // node's name still is in CP949 bytes (no path of ours reaches it).
    QString SelectedPath() const;
    // Makes path the open document and has the host load it, unless it is open already. A
    // path the editor must not open (a pipe, a link out of the library) is refused with a
    // message; then, as for an empty path, nothing is open and the host drops what it showed.
    void SetOpenPath(const QString& path);
    // A node whose name is in CP949 bytes is renamed to its decoded name once the user agrees;
    // false when it still cannot be reached. True at once for every other node.
    bool MakeUsable(const QModelIndex& node);
    // The node of a document (a note file; a folder, or its description page), the folders on the
    // way listed and opened; none when the library holds no such document. byShownNames: rows
    // also answer to the names they show (a note's extension in another case), and folders on the
    // way still named in CP949 bytes are made usable (asking).
    QModelIndex RevealDocument(const QString& documentPath, bool byShownNames = true);
    // Selects the open document's row, the folders on the way opened, without saving or opening
    // anything: what opened elsewhere shows in the tree.
    void SelectOpenDocument();

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
    void RenameNode(const QModelIndex& node);
    void DeleteNode(const QModelIndex& node);
    // target none: the top level.
    void MoveNode(const QModelIndex& target, const QModelIndex& source);
    bool ShellMove(const QString& source, const QString& destFolder);
    bool ShellDelete(const QString& path);
    // Whether target is source itself or lies inside it; false for none or top-level targets.
    static bool IsUnder(const QModelIndex& source, const QModelIndex& target);

    // The node marked by Cut; none when none, or when the marked node is gone.
    QModelIndex CutNode() const;
    void SetContextNode(const QModelIndex& node);
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

    // -1 for none.
    static int ImageIndex(const QModelIndex& node);
    static bool IsFolder(const QModelIndex& node);
    // A folder whose contents are on disk but not listed yet.
    bool IsUnlisted(const QModelIndex& node) const;

    // The mark of the row the open pop-up menu acts on; no brush for every other row.
    QBrush PopupMark(const QModelIndex& node) const;
    // The pop-up menu for the current row, as the keyboard asks for it.
    void ShowPopupAtCurrent();

    // Where the node's icon starts, in viewport coordinates.
    int IconLeft(const QModelIndex& node) const;
    // The picture a node is drawn with, from the images given to SetImages.
    const QIcon& IconFor(const QModelIndex& node) const;

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
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
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
    // A command is under way: another program's changes wait until it ends (dialogs run their own
    // event loops).
    class TBusy {
    public:
        explicit TBusy(TqbTree& tree) : m_tree(tree) { ++m_tree.m_busy; }
        ~TBusy() { --m_tree.m_busy; }
        TBusy(const TBusy&) = delete;
        TBusy& operator=(const TBusy&) = delete;

    private:
        TqbTree& m_tree;
    };

    // Calls a library operation of ours. The selection that a vanishing row moves on meanwhile is
    // acted on once the call is done: the open document has followed by then, and nothing is
    // saved or opened in the middle of the operation.
    bool CallLibrary(const std::function<bool()>& call);
    // What the library announces and the rows do not show by themselves: an item moved into
    // another folder opens that folder.
    void ItemMoved(const QString& oldItemPath, const QString& newItemPath);
    void ItemRemoved(const QString& itemPath);
    // The folders moved into open, listed where needed, once the library's call is done.
    void ShowMovedNodes();
    // The watch on the open file follows the host's path, once it has followed.
    void ScheduleOpenFileWatch();
    // With the wait cursor up.
    bool MoveItem(const QString& itemPath, const QString& destFolder);

    void ScheduleWatchSync();
    // LoadRoot without setting the library's root.
    void ListRoot();
    // The tree follows the root folder's going and coming back, once no command is under way.
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
    // The node of a listed folder's directory; none with *found for the top level.
    QModelIndex FolderNode(const QString& dir, bool* found) const;
    // Rows of another program's changes: a row going takes the selection with it, and the open
    // document put back (a save by delete and create) is selected again.
    void RowsGoing(const QModelIndex& parent, int first, int last);
    void RowsCame(const QModelIndex& parent, int first, int last);
    void PressAt(QPoint pos, Qt::MouseButton button);
    void DoubleClickAt(QPoint pos);
    void CurrentNodeChanged(const QModelIndex& current, const QModelIndex& previous);
    void RefuseUnlistedExpansion(const QModelIndex& node);
    void CreatePopupMenu();
    // Opens the pop-up menu at globalPos, acting on node (none: empty space).
    void ShowPopup(const QModelIndex& node, QPoint globalPos);
    // The new item goes where the pop-up menu was opened: into a folder, beside a note in a
    // folder, else at the top level.
    void PopupCreate(void (TqbTree::*create)(bool forceRoot));
    // Nothing is made where the root folder is not there: true, and the user is told.
    bool RefusedWhileGone();
    // Ctrl+X and Ctrl+V act on the current row as Cut and Paste do on the menu's row.
    bool IsTreeEditKey(const QKeyEvent* event) const;
    void StartNodeDrag();
    TqbKeyHandOff KeysAfterDialog();
    // Keys typed from the dialog's confirmation on wait in handOff.
    bool RunDialog(QDialog& dialog, TqbKeyHandOff& handOff);
    // Selects the row of a new item once the library made it, and opens it.
    void SelectCreated(const QString& itemPath);
    // Nothing is open any more: the host drops what it shows without writing it.
    void CloseOpenDocument();

    IqbTreeHost& m_host;
    // The files under the nodes; the rows follow what it announces.
    TqbLibrary& m_library;
    TqbLibraryModel* m_model = nullptr;
    // Folders moved into, opened once the call is done.
    QStringList m_movedInto;
    // Calls of ours into the library under way.
    int m_libraryCalls = 0;
    // The current row changed while a call of ours was under way.
    bool m_currentMovedOn = false;
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
    bool m_selectingOpen = false;
    std::function<quint32()> m_tick;
    // Folder, note.
    std::array<QIcon, 2> m_icons;
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

#pragma once

#include "library/qbFolderListing.h"
#include "library/qbLinkKeeper.h"
#include "library/qbLibraryStore.h"
#include "library/qbLinkRewrite.h"
#include "library/qbNoteVersions.h"
#include "library/qbRootPresence.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

// What the library asks the user. The library never opens a window itself.
class IqbLibraryAsker {
public:
    virtual ~IqbLibraryAsker() = default;
    // A message box with OK.
    virtual void ShowMessage(const QString& text) = 0;
    // OK and Cancel; true for OK. defaultNo makes Cancel the answer of a plain Enter, for
    // questions whose OK destroys something.
    virtual bool Confirm(const QString& text, bool defaultNo = false) = 0;
};

// The library on disk and the operations that change it, on paths: an item path is a note's own
// file, or a folder's directory followed by "/". Each operation that changes the disk announces
// it, so every view (the tree, the open note) follows our own changes the same way.
class TqbLibrary : public QObject {
    Q_OBJECT

public:
    static inline const QString RenameFailedMessage = QStringLiteral("이름 변경에 실패했습니다.");
    static inline const QString PicturesNotKeptMessage =
        QStringLiteral("다음 그림을 옮기지 못해 노트에 보이지 않을 수 있습니다.\n");
    static inline const QString LinksNotKeptMessage =
        QStringLiteral("다음 노트의 링크를 새 위치로 고치지 못했습니다.\n");
    static inline const QString ReplaceQuestion =
        QStringLiteral("\"%1\" 이(가) 이미 있습니다.\n있던 것을 휴지통으로 보내고 바꾸시겠습니까?");
    static inline const QString RawNameQuestion =
        QStringLiteral("\"%1\" 의 파일 이름은 윈도우 한글 코드(CP949)로 되어 있어 이대로는 쓸 수 "
                       "없습니다.\n이 이름으로 바꾸시겠습니까?");

    // How many entries of the library are looked through for the open document another program
    // moved where no listing looked.
    static constexpr int OutsideMoveSearchLimit = 50000;

    explicit TqbLibrary(IqbLibraryAsker& asker, QObject* parent = nullptr);

    QString NoteExt = QStringLiteral(".htm");
    // One trailing "/" removed. Set NoteExt first: the library is learnt from here on.
    void SetRoot(const QString& dir);
    // Who rewrites links between notes after a move; none keeps them as they are.
    void SetLinkKeeper(IqbLinkKeeper* keeper) { m_linkKeeper = keeper; }
    const QString& Root() const { return m_root; }
    // Whether the root folder is there; while it is not, nothing of it is taken as deleted.
    TqbRootPresence& Presence() { return m_presence; }

    // The folder's entries by the listing rules; our own write leftovers in it are removed.
    // Items another program moved into it while no listing looked are followed from the event
    // loop, as FollowOutsideMoves follows them.
    TqbFolderListing List(const QString& dir);

    // A folder with its description page (header); nothing is left when the page fails.
    bool CreateFolder(const QString& dir, const QStringList& header);
    // A note from a template file (its fields filled, its lines ended with CR LF), or from
    // header without one.
    bool CreateNote(const QString& notePath, const QString& templateFile,
                    const QStringList& header);
    // rawName: the old name's bytes when it is not in the file name encoding (oldItemPath then
    // holds it decoded). Pictures follow. The same path without raw bytes is done at once.
    bool Rename(const QString& oldItemPath, const QString& newItemPath,
                const QByteArray& rawName = {});
    // Into targetDir (no trailing "/"); asks before replacing an item of the same name, which goes
    // to the trash. Pictures follow. False when nothing moved.
    bool Move(const QString& itemPath, const QString& targetDir);
    // To the desktop's trash; notes elsewhere keep the pictures of a folder going away.
    bool Trash(const QString& itemPath);
    // Renames the item whose name is still in CP949 bytes (rawName, in the folder dirPrefix) to
    // name, once the user agrees.
    bool AdoptRawName(const QString& dirPrefix, const QByteArray& rawName, const QString& name);
    // Where the file or folder another program moved is now, by its identity
    // (TqbFileStamp::FileId): first among the entries of dirs (a move between watched folders
    // arrives in one batch), then, when searchLimit > 0, anywhere in the library within that
    // many entries. An item path (a folder's ends with "/"); empty when not found.
    QString FindById(const QByteArray& id, bool folder, const QStringList& dirs,
                     int searchLimit = 0) const;
    // A note the program wrote itself beside the library's own (a kept copy).
    void AnnounceWritten(const QString& filePath) {
        m_store.Added(filePath);
        emit Added(filePath);
    }
    // Another program's rename, seen by a view: whoever follows our own follows it too. Links
    // to it are kept from the event loop, once the view has done with its batch of changes.
    void AnnounceMoved(const QString& oldItemPath, const QString& newItemPath);
    // Lists the folders (no trailing "/") that another program changed and follows what it moved
    // there, by the items' identities, as our own moves are followed: versions, pictures, links
    // (from the event loop) and the announcement. An item gone that holds openPath is looked for
    // in the whole library. The moves followed, in the order found.
    QList<TqbItemMove> FollowOutsideMoves(const QStringList& dirs, const QString& openPath);
    // The program wrote the note anew (an atomic write makes it a new file): still the same note.
    void NoteWritten(const QString& filePath) { m_store.Written({filePath}); }
    // What the library knows of every item's identity.
    const TqbLibraryStore& Store() const { return m_store; }
    // The notes' kept versions; they follow the library's moves, renames and deletions.
    TqbNoteVersions& Versions() { return m_versions; }

signals:
    void Added(const QString& itemPath);
    // A move or a new name; items inside a folder moved with it.
    void Moved(const QString& oldItemPath, const QString& newItemPath);
    void Removed(const QString& itemPath);
    // Note files whose text the library rewrote (picture addresses, links).
    void Changed(const QStringList& filePaths);
    // Notes whose links were rewritten to follow a move (also reported through Changed).
    void LinksFollowed(const QStringList& filePaths);

private:
    // Pictures and links follow an item we moved; announces the move.
    void FollowMove(const QString& oldItemPath, const QString& newItemPath);
    // Moves another program made, followed in an order where none takes a name another leaves.
    void FollowMoves(const QList<TqbItemMove>& moves);
    // later: the moves of the same batch still to follow, already made on disk.
    TqbKeptLinks KeepLinks(const TqbItemMove& move, const QList<TqbItemMove>& later = {});
    void KeepAnnouncedLinks();
    void Report(const QStringList& rewritten, const QStringList& failures);
    void ReportLinks(const TqbKeptLinks& kept);
    // What a note held before the library rewrites it becomes a version.
    std::function<void(const QString&)> KeepVersionHook();

    IqbLibraryAsker& m_asker;
    QString m_root;
    TqbNoteVersions m_versions;
    IqbLinkKeeper* m_linkKeeper = nullptr;
    TqbLibraryStore m_store;
    TqbRootPresence m_presence;
    QList<TqbItemMove> m_announcedMoves;
};

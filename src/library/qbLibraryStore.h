#pragma once

#include "library/qbConflictIndex.h"
#include "library/qbFolderListing.h"
#include "library/qbLinkRewrite.h"
#include "library/qbNameGatherer.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

// The identity (TqbFileStamp::FileId) of every note and folder of the library seen so far, shown
// by a view or not: what a listing finds is compared with it, so that an item another program
// renamed or moved, even while no view showed its folder, is known for a move and not taken for a
// deletion and a new item. Item paths as the library's: a folder's ends with "/".
class TqbLibraryStore : public QObject {
    Q_OBJECT

public:
    // An item that was remembered in a folder listed again and is no longer there, nor anywhere
    // else looked at; a later listing that finds it turns it into a move.
    struct TLost {
        QString ItemPath;
        QByteArray Id;
        // Another item moved into its name: it most likely went elsewhere (a swap).
        bool Displaced = false;
    };
    struct TReconciled {
        // In the order found; several may lead into each other (a swap).
        QList<TqbItemMove> Moves;
        QList<TLost> Lost;
    };

    explicit TqbLibraryStore(QObject* parent = nullptr);

    // Forgets everything and learns the whole library on a thread (the walk the name lists use)
    // from the event loop; what a listing finds meanwhile wins over what the walk brings later.
    void SetRoot(const QString& root, const QString& noteExt);
    bool Learning() const { return m_learning; }

    // Lists the folders (no trailing "/") again and compares what is in them with what was
    // remembered: an identity that turns up under another name is a move. Remembers what is there.
    TReconciled Reconcile(const QStringList& dirs);

    // Our own changes, told so that they are not taken for another program's.
    void Added(const QString& itemPath);
    void Moved(const QString& oldItemPath, const QString& newItemPath);
    void Removed(const QString& itemPath);
    // Files written anew (by an atomic replace they are new files under the same name).
    void Written(const QStringList& filePaths);
    // A lost item found again at newItemPath.
    void Found(const QByteArray& id, const QString& newItemPath);

    // The notes and folder pages with a sync engine's conflict copy beside them, as the walk and
    // the listings found them.
    const TqbConflictIndex& Conflicts() const { return m_conflicts; }

    // Every folder remembered, without the trailing "/".
    QStringList Folders() const;

    // The identity remembered for an item; empty when it is not known.
    QByteArray Id(const QString& itemPath) const { return m_ids.value(itemPath); }

signals:
    // The walk is done: every item of the library is known.
    void Learned();

private:
    TReconciled Compare(const QList<std::pair<QString, TqbFolderListing>>& listings);
    void LearnWhatItHolds(const QString& folderItemPath);
    void Learn(const QList<TqbGatheredName>& names);
    void Remember(const QString& itemPath, const QByteArray& id);
    void Forget(const QString& itemPath);
    // The remembered items directly inside dir.
    QStringList Children(const QString& dir) const;
    // Takes itemPath and, for a folder, everything remembered inside it: paths relative to it.
    QList<std::pair<QString, QByteArray>> TakeTree(const QString& itemPath);

    QString m_root;
    QString m_noteExt;
    QMap<QString, QByteArray> m_ids;
    QHash<QByteArray, QString> m_paths;
    QHash<QByteArray, QString> m_lost;
    // What a lost folder held when another folder took its name, kept until it is found.
    QHash<QByteArray, QList<std::pair<QString, QByteArray>>> m_lostTrees;
    TqbNameGatherer m_walk;
    TqbConflictIndex m_conflicts;
    bool m_learning = false;
};

// The moves in an order that follows them one by one without one taking another's old name
// before it is left: a move into a name another move leaves comes after it, and a ring (a swap)
// goes through a name of its own beside the first item ("<name>.qbswap").
QList<TqbItemMove> qbMoveSteps(QList<TqbItemMove> moves);

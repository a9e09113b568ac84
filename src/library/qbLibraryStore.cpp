#include "library/qbLibraryStore.h"

#include "library/qbFolderListing.h"
#include "library/qbPaths.h"
#include "platform/qbFileStamp.h"

#include <QFileInfo>
#include <QSet>

namespace {

QByteArray IdOf(const QString& itemPath) {
    return TqbFileStamp::FileId(StripTrailingDelim(itemPath));
}

// A name of its own beside the item, for a ring of moves to pass through; a note keeps its
// extension.
QString AsideName(const QString& itemPath) {
    if (itemPath.endsWith(u'/'))
        return itemPath.chopped(1) + QStringLiteral(".qbswap/");
    const qsizetype slash = itemPath.lastIndexOf(u'/');
    const qsizetype dot = itemPath.lastIndexOf(u'.');
    return dot > slash ? itemPath.left(dot) + QStringLiteral(".qbswap") + itemPath.mid(dot)
                       : itemPath + QStringLiteral(".qbswap");
}

} // namespace

QList<TqbItemMove> qbMoveSteps(QList<TqbItemMove> moves) {
    QList<TqbItemMove> steps;
    while (!moves.isEmpty()) {
        qsizetype ready = -1;
        for (qsizetype i = 0; i < moves.size() && ready < 0; ++i) {
            bool waits = false;
            for (qsizetype j = 0; j < moves.size() && !waits; ++j)
                waits = j != i && moves[j].From == moves[i].To;
            if (!waits)
                ready = i;
        }
        if (ready >= 0) {
            steps << moves.takeAt(ready);
            continue;
        }
        TqbItemMove& first = moves.first();
        const QString aside = AsideName(first.From);
        steps << TqbItemMove{first.From, aside};
        first.From = aside;
    }
    return steps;
}

TqbLibraryStore::TqbLibraryStore(QObject* parent) : QObject(parent) {
    connect(&m_walk, &TqbNameGatherer::Batch, this, &TqbLibraryStore::Learn);
    connect(&m_walk, &TqbNameGatherer::Conflicted, &m_conflicts, &TqbConflictIndex::Add);
    connect(&m_walk, &TqbNameGatherer::Finished, this, [this] {
        m_learning = false;
        emit Learned();
    });
}

void TqbLibraryStore::SetRoot(const QString& root, const QString& noteExt) {
    // What a walk of the former root still has on its way would be learnt as this root's.
    m_walk.Stop();
    m_root = StripTrailingDelim(root);
    m_noteExt = noteExt;
    m_ids.clear();
    m_paths.clear();
    m_lost.clear();
    m_lostTrees.clear();
    m_conflicts.Clear();
    m_learning = !m_root.isEmpty();
    if (!m_learning)
        return;
    // Once the first listing shows: the walk would only hold it up.
    QMetaObject::invokeMethod(
        this,
        [this, root = m_root] {
            if (root == m_root)
                m_walk.Start(m_root, m_noteExt);
        },
        Qt::QueuedConnection);
}

void TqbLibraryStore::Learn(const QList<TqbGatheredName>& names) {
    for (const TqbGatheredName& name : names)
        if (!name.Id.isEmpty() && !m_ids.contains(name.Path) && !m_paths.contains(name.Id) &&
            !m_lost.contains(name.Id))
            Remember(name.Path, name.Id);
}

QStringList TqbLibraryStore::Folders() const {
    QStringList folders;
    for (auto it = m_ids.cbegin(); it != m_ids.cend(); ++it)
        if (it.key().endsWith(u'/'))
            folders << it.key().chopped(1);
    return folders;
}

TqbLibraryStore::TReconciled TqbLibraryStore::Reconcile(const QStringList& dirs) {
    QList<std::pair<QString, TqbFolderListing>> listings;
    for (const QString& dir : dirs)
        // A folder gone is its parent's to tell.
        if (QFileInfo(dir).isDir())
            listings.append({dir, ListFolder(dir, m_noteExt, m_root)});
    return Compare(listings);
}

TqbLibraryStore::TReconciled
TqbLibraryStore::Compare(const QList<std::pair<QString, TqbFolderListing>>& listings) {
    TReconciled result;
    QHash<QString, QByteArray> now;
    QStringList order;
    QStringList listed;
    for (const auto& [dir, listing] : listings) {
        listed << dir;
        m_conflicts.SetFolder(dir, listing.Conflicted);
        const QString prefix = dir + u'/';
        const auto see = [&](const TqbListedName& entry, bool folder) {
            if (!entry.RawName.isEmpty())
                return;
            const QString path = prefix + entry.Name + (folder ? "/" : "");
            const QByteArray id = IdOf(path);
            if (!id.isEmpty() && !now.contains(path)) {
                now.insert(path, id);
                order << path;
            }
        };
        for (const TqbListedName& entry : listing.Folders)
            see(entry, true);
        for (const TqbListedName& entry : listing.NoteFiles)
            see(entry, false);
    }

    // An identity remembered under another name that no longer holds it has moved here.
    const auto holds = [&](const QString& itemPath, const QByteArray& id) {
        const auto at = now.constFind(itemPath);
        return at != now.cend() ? *at == id : IdOf(itemPath) == id;
    };
    for (const QString& path : std::as_const(order)) {
        const QByteArray id = now.value(path);
        if (m_ids.value(path) == id)
            continue;
        const QString was = m_paths.value(id, m_lost.value(id));
        if (was.isEmpty() || was == path || was.endsWith(u'/') != path.endsWith(u'/') ||
            holds(was, id))
            continue;
        result.Moves.append({was, path});
    }
    // All leave before any arrives: in a swap each takes the other's old name.
    QList<QList<std::pair<QString, QByteArray>>> trees;
    QSet<QByteArray> moving;
    for (const TqbItemMove& move : std::as_const(result.Moves))
        moving.insert(now.value(move.To));
    for (const QString& path : std::as_const(order)) {
        // Another item under a remembered name: the one it replaced may turn up in a folder listed
        // later (one half of a swap across folders), else it was a replace by rename.
        const QByteArray was = m_ids.value(path);
        if (!was.isEmpty() && was != now.value(path) && !moving.contains(was) &&
            m_paths.value(was) == path) {
            m_lost.insert(was, path);
            if (!moving.contains(now.value(path)))
                continue;
            result.Lost.append({path, was, true});
            // What it held must not mix with what the folder moving in holds.
            if (path.endsWith(u'/'))
                m_lostTrees.insert(was, TakeTree(path));
        }
    }
    for (const TqbItemMove& move : std::as_const(result.Moves)) {
        // Found again after it was lost: its old name may hold another item by now.
        const QByteArray at = m_ids.value(move.From);
        const QByteArray id = now.value(move.To);
        if (m_lostTrees.contains(id))
            trees.append(m_lostTrees.take(id));
        else
            trees.append(at.isEmpty() || at == id ? TakeTree(move.From)
                                                  : QList<std::pair<QString, QByteArray>>());
        m_lost.remove(id);
    }
    for (qsizetype i = 0; i < result.Moves.size(); ++i)
        for (const auto& [rel, id] : std::as_const(trees[i]))
            Remember(result.Moves[i].To + rel, id);
    // A folder never seen before came with what it holds, which no change inside it will tell.
    QStringList arrived;
    for (const QString& path : std::as_const(order))
        if (path.endsWith(u'/') && !m_ids.contains(path) && !m_paths.contains(now.value(path)) &&
            !m_lost.contains(now.value(path)))
            arrived << path;
    // A file replaced under its name (a save, a sync tool's rename over it) is the same note.
    for (const QString& path : std::as_const(order))
        Remember(path, now.value(path));
    for (const QString& folder : std::as_const(arrived))
        LearnWhatItHolds(folder);
    for (const QString& dir : std::as_const(listed)) {
        for (const QString& child : Children(dir)) {
            if (now.contains(child))
                continue;
            const QByteArray id = m_ids.value(child);
            result.Lost.append({child, id});
            m_lost.insert(id, child);
            Forget(child);
        }
    }
    return result;
}

void TqbLibraryStore::LearnWhatItHolds(const QString& folderItemPath) {
    QStringList dirs{folderItemPath.chopped(1)};
    while (!dirs.isEmpty()) {
        const QString dir = dirs.takeLast();
        const TqbFolderListing listing = ListFolder(dir, m_noteExt, m_root);
        m_conflicts.SetFolder(dir, listing.Conflicted);
        const auto learn = [&](const TqbListedName& entry, bool folder) {
            const QString path = dir + u'/' + entry.Name + (folder ? "/" : "");
            if (entry.RawName.isEmpty() && !m_ids.contains(path))
                Remember(path, IdOf(path));
            if (folder && entry.RawName.isEmpty())
                dirs << path.chopped(1);
        };
        for (const TqbListedName& entry : listing.Folders)
            learn(entry, true);
        for (const TqbListedName& entry : listing.NoteFiles)
            learn(entry, false);
    }
}

void TqbLibraryStore::Added(const QString& itemPath) {
    Remember(itemPath, IdOf(itemPath));
}

void TqbLibraryStore::Moved(const QString& oldItemPath, const QString& newItemPath) {
    m_conflicts.Moved(oldItemPath, newItemPath);
    const auto tree = TakeTree(oldItemPath);
    for (const auto& [rel, id] : tree)
        Remember(newItemPath + rel, id);
    if (!m_ids.contains(newItemPath))
        Added(newItemPath);
}

void TqbLibraryStore::Removed(const QString& itemPath) {
    m_conflicts.Forget(itemPath);
    TakeTree(itemPath);
}

void TqbLibraryStore::Written(const QStringList& filePaths) {
    for (const QString& path : filePaths)
        Added(path);
}

void TqbLibraryStore::Found(const QByteArray& id, const QString& newItemPath) {
    const QString was = m_lost.take(id);
    // Its old name may hold another item by now (a swap), which stays where it is.
    const QByteArray there = m_ids.value(was);
    const QList<std::pair<QString, QByteArray>> tree =
        m_lostTrees.contains(id) ? m_lostTrees.take(id)
        : !was.isEmpty() && (there.isEmpty() || there == id)
            ? TakeTree(was)
            : QList<std::pair<QString, QByteArray>>();
    for (const auto& [rel, inner] : tree)
        Remember(newItemPath + rel, inner);
    Remember(newItemPath, id);
}

void TqbLibraryStore::Remember(const QString& itemPath, const QByteArray& id) {
    const QByteArray old = m_ids.value(itemPath);
    if (!old.isEmpty() && old != id && m_paths.value(old) == itemPath)
        m_paths.remove(old);
    if (id.isEmpty()) {
        m_ids.remove(itemPath);
        return;
    }
    m_ids.insert(itemPath, id);
    m_paths.insert(id, itemPath);
}

void TqbLibraryStore::Forget(const QString& itemPath) {
    const QByteArray id = m_ids.take(itemPath);
    if (m_paths.value(id) == itemPath)
        m_paths.remove(id);
}

QStringList TqbLibraryStore::Children(const QString& dir) const {
    const QString prefix = dir + u'/';
    QStringList children;
    // The folder's own entry sorts first under its prefix: it is no child of itself.
    for (auto it = m_ids.upperBound(prefix); it != m_ids.cend() && it.key().startsWith(prefix);
         ++it) {
        const qsizetype slash = it.key().indexOf(u'/', prefix.size());
        if (slash < 0 || slash == it.key().size() - 1)
            children << it.key();
    }
    return children;
}

QList<std::pair<QString, QByteArray>> TqbLibraryStore::TakeTree(const QString& itemPath) {
    QList<std::pair<QString, QByteArray>> tree;
    if (!itemPath.endsWith(u'/')) {
        if (m_ids.contains(itemPath)) {
            tree.append({QString(), m_ids.value(itemPath)});
            Forget(itemPath);
        }
        return tree;
    }
    for (auto it = m_ids.lowerBound(itemPath); it != m_ids.cend() && it.key().startsWith(itemPath);
         ++it)
        tree.append({it.key().mid(itemPath.size()), it.value()});
    for (const auto& [rel, id] : std::as_const(tree))
        Forget(itemPath + rel);
    return tree;
}

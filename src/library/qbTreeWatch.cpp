// Another program's changes to the library: the shown folders are watched, and a folder that
// changed is listed again and merged into the nodes it has, so nothing is rebuilt or collapsed.
#include "library/qbTree.h"

#include "library/qbFolderListing.h"
#include "library/qbLibraryWatcher.h"
#include "library/qbNoteInfo.h"
#include "library/qbPaths.h"
#include "library/qbTreeHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QScopedValueRollback>
#include <QTimer>

namespace {

QString EntryKey(bool folder, const QString& name, const QByteArray& raw) {
    return (folder ? QStringLiteral("d") : QStringLiteral("n")) + name + QChar(0) +
           QString::fromLatin1(raw.toHex());
}

int ChildCount(const QTreeWidget& tree, const QTreeWidgetItem* node) {
    return node ? node->childCount() : tree.topLevelItemCount();
}

QTreeWidgetItem* ChildAt(const QTreeWidget& tree, const QTreeWidgetItem* node, int i) {
    return node ? node->child(i) : tree.topLevelItem(i);
}

} // namespace

void TqbTree::ScheduleWatchSync() {
    if (!m_watchSync->isActive())
        m_watchSync->start();
}

void TqbTree::FollowPresence() {
    const bool gone = !m_library.Presence().IsThere();
    if (gone == m_showsGone)
        return;
    if (m_busy > 0 || (m_watchHold && m_watchHold())) {
        QTimer::singleShot(TqbLibraryWatcher::HoldRetryMs, this, &TqbTree::FollowPresence);
        return;
    }
    if (gone) {
        ShowLibraryGone();
        return;
    }
    // Listed as it is on disk now, with the open document selected where it is.
    ListRoot();
    const QScopedValueRollback<bool> merging(m_merging, true);
    if (QTreeWidgetItem* node = ShownNode(m_host.OpenPath()))
        setCurrentItem(node);
}

void TqbTree::ShowLibraryGone() {
    m_showsGone = true;
    m_goneLabel->setText(LibraryGoneMessage.arg(QDir::toNativeSeparators(m_rootDir)) +
                         QStringLiteral("\n\n") + LibraryGoneHint);
    m_goneLabel->show();
    clear();
    m_contextNode = QPersistentModelIndex();
    SyncWatches();
}

void TqbTree::SyncWatches() {
    if (m_rootDir.isEmpty())
        return;
    if (m_showsGone) {
        m_watched.clear();
        m_watcher->SetFolders({});
        m_watcher->SetOpenFile({});
        return;
    }
    QStringList folders{m_rootDir};
    QStringList closed;
    QStringList stale;
    const auto walk = [&](auto& self, QTreeWidgetItem* node) -> void {
        for (int i = 0; i < ChildCount(*this, node); ++i) {
            QTreeWidgetItem* child = ChildAt(*this, node, i);
            if (!IsFolder(child))
                continue;
            if (!child->isExpanded() || IsUnlisted(child)) {
                // Watched for its expand arrow: its first entry, or its last one gone; one listed
                // before, and what it held, also so that the library follows another program's
                // renames there at once. Its rows are listed anew when it opens.
                if (!child->isExpanded() && child->data(0, RawNameRole).isNull())
                    closed << NodePath(child);
                if (!IsUnlisted(child))
                    self(self, child);
                continue;
            }
            const QString dir = NodePath(child);
            folders << dir;
            if (!m_watched.contains(dir) && !m_fresh.contains(dir))
                stale << dir;
            self(self, child);
        }
    };
    walk(walk, nullptr);
    // Folders no row stands for yet, so that another program's renames there are followed at
    // once too, whether the tree ever listed them or not.
    QSet<QString> known(folders.begin(), folders.end());
    known.unite(QSet<QString>(closed.begin(), closed.end()));
    for (const QString& dir : m_library.Store().Folders())
        if (!known.contains(dir))
            closed << dir;
    m_watched = QSet<QString>(folders.begin(), folders.end());
    m_fresh.clear();
    m_watcher->SetFolders(folders + closed);
    m_watcher->SetOpenFile(m_host.OpenPath());
    // Shown again after it was let go: what changed meanwhile was not seen.
    if (stale.isEmpty())
        return;
    QStringList refreshed = FollowOutsideMoves(stale);
    for (const QString& dir : std::as_const(stale))
        if (RefreshFolder(dir))
            refreshed << dir;
    refreshed.removeDuplicates();
    if (!refreshed.isEmpty())
        emit FoldersRefreshed(refreshed);
}

QTreeWidgetItem* TqbTree::FolderNode(const QString& dir, bool* found) const {
    *found = dir == m_rootDir;
    if (*found)
        return nullptr;
    QTreeWidgetItem* node = ItemNode(dir + u'/');
    *found = node != nullptr;
    return node;
}

bool TqbTree::RefreshFolder(const QString& dir) {
    bool found = false;
    QTreeWidgetItem* node = FolderNode(StripTrailingDelim(dir), &found);
    return found && MergeFolder(node, StripTrailingDelim(dir));
}

void TqbTree::Refresh() {
    if (!m_library.Presence().Check() || m_showsGone)
        return;
    QList<QTreeWidgetItem*> listed{nullptr};
    for (qsizetype i = 0; i < listed.size(); ++i) {
        for (int c = 0; c < ChildCount(*this, listed[i]); ++c) {
            QTreeWidgetItem* child = ChildAt(*this, listed[i], c);
            if (IsFolder(child) && child->childCount() > 0 && !IsUnlisted(child))
                listed << child;
        }
    }
    QStringList dirs;
    for (QTreeWidgetItem* node : std::as_const(listed))
        dirs << NodePath(node);
    MergeBatch(dirs);
}

QStringList TqbTree::FollowOutsideMoves(const QStringList& dirs) {
    // A vanishing node moves the selection on without opening what it lands on.
    const QScopedValueRollback<bool> merging(m_merging, true);
    const QString open = m_host.OpenPath();
    // As for our own moves: the open document follows before a node goes.
    ++m_libraryCalls;
    const QList<TqbItemMove> moves = m_library.FollowOutsideMoves(dirs, open);
    --m_libraryCalls;
    ShowMovedNodes();
    QStringList moved;
    for (const TqbItemMove& move : moves)
        moved << QFileInfo(StripTrailingDelim(move.From)).path()
              << QFileInfo(StripTrailingDelim(move.To)).path();
    // The selection stays on the open document in its new place.
    if (m_host.OpenPath() != open) {
        QTreeWidgetItem* node = ShownNode(m_host.OpenPath());
        if (currentItem() != node)
            setCurrentItem(node);
    }
    return moved;
}

QTreeWidgetItem* TqbTree::ShownNode(const QString& documentPath) {
    const QString itemPath = documentPath.endsWith(u'/' + TqbNoteInfo::FolderDescriptionName)
                                 ? documentPath.chopped(TqbNoteInfo::FolderDescriptionName.size())
                                 : documentPath;
    const QString prefix = m_rootDir + u'/';
    if (!itemPath.startsWith(prefix))
        return nullptr;
    for (qsizetype at = itemPath.indexOf(u'/', prefix.size()); at > 0 && at + 1 < itemPath.size();
         at = itemPath.indexOf(u'/', at + 1)) {
        QTreeWidgetItem* folder = ItemNode(itemPath.left(at + 1));
        if (!folder)
            return nullptr;
        if (IsUnlisted(folder))
            LoadChildren(folder);
        else
            folder->setExpanded(true);
    }
    return ItemNode(itemPath);
}

bool TqbTree::ShowArrow(QTreeWidgetItem* node, const QString& dir) {
    const bool hasEntries = FolderHasEntries(dir);
    if (hasEntries && node->childCount() == 0) {
        node->addChild(NewPlaceholder());
        return true;
    }
    if (hasEntries || node->childCount() == 0)
        return false;
    // Emptied: a listed folder's nodes go the way every merge removes nodes.
    if (IsUnlisted(node)) {
        delete node->takeChild(0);
        return true;
    }
    return MergeFolder(node, dir);
}

void TqbTree::MergeBatch(const QStringList& dirs) {
    const QPersistentModelIndex top = indexAt(QPoint(0, 0));
    const int topY = top.isValid() ? visualRect(top).top() : 0;
    QStringList refreshed = FollowOutsideMoves(dirs);
    refreshed.removeDuplicates();
    for (const QString& dir : dirs) {
        // Looked up again each time: an earlier folder's merge may have removed this one.
        bool found = false;
        QTreeWidgetItem* node = FolderNode(dir, &found);
        // A closed folder only gains or loses its expand arrow: what it holds is listed anew
        // when it opens. One holding the selection is merged, so the selection never stays on
        // a node whose file is gone.
        const bool closed =
            found && node && !node->isExpanded() && !IsUnder(node, currentItem());
        if ((closed ? ShowArrow(node, dir) : RefreshFolder(dir)) && !refreshed.contains(dir))
            refreshed << dir;
    }
    // The first row shown stays the first row shown.
    if (!refreshed.isEmpty() && top.isValid() && visualRect(top).top() != topY)
        scrollTo(top, PositionAtTop);
    if (!refreshed.isEmpty())
        emit FoldersRefreshed(refreshed);
}

bool TqbTree::MergeFolder(QTreeWidgetItem* node, const QString& dir) {
    if (node && (!IsFolder(node) || IsUnlisted(node)))
        return false;
    const QScopedValueRollback<bool> merging(m_merging, true);
    const TqbFolderListing listing = ListFolder(dir, NoteExt, m_rootDir);
    const QString prefix = dir + u'/';
    struct TEntry {
        TqbListedName Name;
        bool Folder;
        QTreeWidgetItem* Item = nullptr;
    };
    QList<TEntry> entries;
    for (const TqbListedName& name : listing.Folders)
        entries.append({name, true});
    for (const TqbListedName& name : listing.NoteFiles)
        entries.append({name, false});
    QHash<QString, qsizetype> byKey;
    for (qsizetype i = 0; i < entries.size(); ++i)
        byKey.insert(EntryKey(entries[i].Folder, entries[i].Name.Name, entries[i].Name.RawName), i);

    QList<QTreeWidgetItem*> gone;
    for (int i = 0; i < ChildCount(*this, node); ++i) {
        QTreeWidgetItem* child = ChildAt(*this, node, i);
        if (IsPlaceholder(child))
            continue;
        const bool folder = IsFolder(child);
        const auto at = byKey.constFind(EntryKey(folder, folder ? child->text(0) : NoteFileName(child),
                                                 child->data(0, RawNameRole).toByteArray()));
        if (at != byKey.cend() && !entries[*at].Item)
            entries[*at].Item = child;
        else
            gone << child;
    }

    bool changed = false;
    // The selection goes with a node that is gone, without opening another one in its place.
    for (QTreeWidgetItem* p = currentItem(); p; p = p->parent()) {
        if (gone.contains(p)) {
            setCurrentItem(nullptr);
            break;
        }
    }
    changed = changed || !gone.isEmpty();
    qDeleteAll(gone);

    // New entries go in their sorted place before the next node that was there already.
    QList<QTreeWidgetItem*> run;
    QTreeWidgetItem* reselect = nullptr;
    const auto flush = [&](QTreeWidgetItem* before) {
        if (run.isEmpty())
            return;
        const int at = before ? (node ? node->indexOfChild(before) : indexOfTopLevelItem(before))
                              : ChildCount(*this, node);
        if (node)
            node->insertChildren(at, run);
        else
            insertTopLevelItems(at, run);
        run.clear();
        changed = true;
    };
    if (node)
        MarkConflict(node, listing.Conflicted.contains(TqbNoteInfo::FolderDescriptionName));
    for (TEntry& entry : entries) {
        if (!entry.Folder && entry.Item)
            MarkConflict(entry.Item, listing.Conflicted.contains(entry.Name.Name));
        if (entry.Item) {
            flush(entry.Item);
            if (entry.Folder && entry.Item->childCount() == 0 &&
                FolderHasEntries(NodePath(entry.Item))) {
                entry.Item->addChild(NewPlaceholder());
                changed = true;
            }
            continue;
        }
        QTreeWidgetItem* item =
            entry.Folder ? NewNode(entry.Name.Name, FolderImage, {}, entry.Name.RawName)
                         : NewNode(FileNameNoExt(entry.Name.Name), NoteImage, entry.Name.Name,
                                   entry.Name.RawName);
        if (entry.Folder && (entry.Name.RawName.isEmpty()
                                 ? FolderHasEntries(prefix + entry.Name.Name)
                                 : FolderHasEntries(QByteArray(QFile::encodeName(prefix) +
                                                               entry.Name.RawName))))
            item->addChild(NewPlaceholder());
        // The open document put back (a save by delete and create) is selected again.
        const QString openPath = m_host.OpenPath();
        if (!currentItem() && !openPath.isEmpty() && entry.Name.RawName.isEmpty() &&
            qbTreeRules::DocumentPath(prefix + entry.Name.Name + (entry.Folder ? "/" : "")) ==
                openPath)
            reselect = item;
        if (!entry.Folder)
            MarkConflict(item, listing.Conflicted.contains(entry.Name.Name));
        run << item;
    }
    flush(nullptr);
    if (reselect)
        setCurrentItem(reselect);
    if (changed)
        ScheduleWatchSync();
    return changed;
}

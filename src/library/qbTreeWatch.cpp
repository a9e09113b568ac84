// Another program's changes to the library: the shown folders are watched, and a folder that
// changed is listed again and merged into the nodes it has, so nothing is rebuilt or collapsed.
#include "library/qbTree.h"

#include "library/qbFolderListing.h"
#include "library/qbLibraryWatcher.h"
#include "library/qbNoteInfo.h"
#include "library/qbPaths.h"
#include "library/qbTreeHost.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QScopedValueRollback>
#include <QTimer>

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
    if (const QModelIndex node = RevealDocument(m_host.OpenPath(), false); node.isValid())
        setCurrentIndex(node);
}

void TqbTree::ShowLibraryGone() {
    m_showsGone = true;
    m_goneLabel->setText(LibraryGoneMessage.arg(QDir::toNativeSeparators(m_rootDir)) +
                         QStringLiteral("\n\n") + LibraryGoneHint);
    m_goneLabel->show();
    m_model->Clear();
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
    const auto walk = [&](auto& self, const QModelIndex& node) -> void {
        const int count = m_model->rowCount(node);
        for (int i = 0; i < count; ++i) {
            const QModelIndex child = m_model->index(i, 0, node);
            if (!IsFolder(child))
                continue;
            const bool expanded = isExpanded(child);
            if (!expanded || IsUnlisted(child)) {
                // Watched for its expand arrow: its first entry, or its last one gone; one listed
                // before, and what it held, also so that the library follows another program's
                // renames there at once. Its rows are listed anew when it opens.
                if (!expanded && child.data(RawNameRole).isNull())
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
    walk(walk, QModelIndex());
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

QModelIndex TqbTree::FolderNode(const QString& dir, bool* found) const {
    *found = dir == m_rootDir;
    if (*found)
        return {};
    const QModelIndex node = m_model->IndexOf(dir + u'/');
    *found = node.isValid();
    return node;
}

bool TqbTree::RefreshFolder(const QString& dir) {
    const QScopedValueRollback<bool> merging(m_merging, true);
    const bool changed = m_model->Refresh(StripTrailingDelim(dir));
    if (changed)
        ScheduleWatchSync();
    return changed;
}

void TqbTree::Refresh() {
    if (!m_library.Presence().Check() || m_showsGone)
        return;
    QList<QModelIndex> listed{QModelIndex()};
    for (qsizetype i = 0; i < listed.size(); ++i) {
        const int count = m_model->rowCount(listed[i]);
        for (int c = 0; c < count; ++c) {
            const QModelIndex child = m_model->index(c, 0, listed[i]);
            if (IsFolder(child) && m_model->rowCount(child) > 0)
                listed << child;
        }
    }
    QStringList dirs;
    for (const QModelIndex& node : std::as_const(listed))
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
        const QModelIndex node = RevealDocument(m_host.OpenPath(), false);
        if (currentIndex() != node)
            setCurrentIndex(node);
    }
    return moved;
}

void TqbTree::MergeBatch(const QStringList& dirs) {
    const QPersistentModelIndex top = indexAt(QPoint(0, 0));
    const int topY = top.isValid() ? visualRect(top).top() : 0;
    QStringList refreshed = FollowOutsideMoves(dirs);
    refreshed.removeDuplicates();
    for (const QString& dir : dirs)
        if (RefreshFolder(dir) && !refreshed.contains(dir))
            refreshed << dir;
    // The first row shown stays the first row shown.
    if (!refreshed.isEmpty() && top.isValid() && visualRect(top).top() != topY)
        scrollTo(top, PositionAtTop);
    if (!refreshed.isEmpty())
        emit FoldersRefreshed(refreshed);
}

void TqbTree::RowsGoing(const QModelIndex& parent, int first, int last) {
    if (!m_merging)
        return;
    // The selection goes with a row that is gone, without opening another one in its place.
    for (QModelIndex node = currentIndex(); node.isValid(); node = node.parent()) {
        if (node.parent() == parent && node.row() >= first && node.row() <= last) {
            selectionModel()->clear();
            return;
        }
    }
}

void TqbTree::RowsCame(const QModelIndex& parent, int first, int last) {
    const QString open = m_host.OpenPath();
    if (!m_merging || currentIndex().isValid() || open.isEmpty())
        return;
    for (int row = first; row <= last; ++row) {
        const QModelIndex node = m_model->index(row, 0, parent);
        if (node.data(RawNameRole).isNull() && qbTreeRules::DocumentPath(ItemPath(node)) == open) {
            setCurrentIndex(node);
            return;
        }
    }
}

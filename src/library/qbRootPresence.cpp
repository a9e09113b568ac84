#include "library/qbRootPresence.h"

#include <QFileInfo>
#include <QFileSystemWatcher>

TqbRootPresence::TqbRootPresence(QObject* parent)
    : QObject(parent), m_watcher(new QFileSystemWatcher(this)) {
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { Check(); });
}

void TqbRootPresence::SetRoot(const QString& dir) {
    m_root = dir;
    m_there = QFileInfo(m_root).isDir();
    WatchFoldersAbove();
}

bool TqbRootPresence::Check() {
    const bool there = QFileInfo(m_root).isDir();
    // A folder above that went (a disk's mount point) or came back changes what is watched.
    WatchFoldersAbove();
    if (there == m_there)
        return there;
    m_there = there;
    if (there)
        emit Back();
    else
        emit Gone();
    return there;
}

void TqbRootPresence::WatchFoldersAbove() {
    // Each folder on the way: a folder that is renamed tells its own folder, not itself.
    QStringList folders;
    for (QString folder = QFileInfo(m_root).path(); !m_root.isEmpty();) {
        if (QFileInfo(folder).isDir())
            folders << folder;
        const QString above = QFileInfo(folder).path();
        if (above == folder)
            break;
        folder = above;
    }
    QStringList watched = m_watcher->directories();
    watched.sort();
    folders.sort();
    if (watched == folders)
        return;
    if (!watched.isEmpty())
        m_watcher->removePaths(watched);
    if (!folders.isEmpty())
        m_watcher->addPaths(folders);
}

#include "library/qbLibraryWatcher.h"

#include "platform/qbFileStamp.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

TqbLibraryWatcher::TqbLibraryWatcher(QObject* parent)
    : QObject(parent), m_watcher(new QFileSystemWatcher(this)), m_batch(new QTimer(this)) {
    m_batch->setSingleShot(true);
    connect(m_batch, &QTimer::timeout, this, &TqbLibraryWatcher::Deliver);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this,
            [this](const QString& dir) { Note(dir); });
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, [this](const QString& file) {
        Note(QFileInfo(file).path());
        // A file replaced by a rename is no longer the one watched.
        QTimer::singleShot(0, this, [this] { Apply(); });
    });
}

void TqbLibraryWatcher::SetFolders(const QStringList& dirs) {
    m_folders = QSet<QString>(dirs.begin(), dirs.end());
    Apply();
}

void TqbLibraryWatcher::SetOpenFile(const QString& path) {
    if (path == m_openFile)
        return;
    m_openFile = path;
    Apply();
}

QStringList TqbLibraryWatcher::Watched() const {
    QStringList paths = m_watcher->directories() + m_watcher->files();
    paths.sort();
    return paths;
}

void TqbLibraryWatcher::Apply(const QSet<QString>& changed) {
    QSet<QString> wanted = m_folders;
    QSet<QString> files;
    if (!m_openFile.isEmpty()) {
        wanted.insert(QFileInfo(m_openFile).path());
        if (QFileInfo::exists(m_openFile))
            files.insert(m_openFile);
    }
    const QStringList dirs = m_watcher->directories();
    const QStringList watchedFiles = m_watcher->files();
    QStringList gone;
    for (const QString& dir : dirs) {
        // The system watches a folder, not its name: one put in its place (a swap) is watched anew.
        const bool replaced = changed.contains(QFileInfo(dir).path()) &&
                              TqbFileStamp::FileId(dir) != m_dirIds.value(dir);
        if (!wanted.contains(dir) || replaced) {
            gone << dir;
            m_dirIds.remove(dir);
        } else {
            wanted.remove(dir);
        }
    }
    for (const QString& file : watchedFiles)
        if (!files.remove(file))
            gone << file;
    if (!gone.isEmpty())
        m_watcher->removePaths(gone);
    // A folder the system cannot watch (its limit reached, the folder gone) is listed again
    // when it is shown next; nothing else depends on it.
    QStringList added;
    for (const QSet<QString>* set : {&wanted, &files})
        for (const QString& path : *set)
            if (QFileInfo::exists(path))
                added << path;
    if (!added.isEmpty())
        m_watcher->addPaths(added);
    for (const QString& dir : std::as_const(wanted))
        m_dirIds.insert(dir, TqbFileStamp::FileId(dir));
}

void TqbLibraryWatcher::Note(const QString& dir) {
    m_pending.insert(dir);
    if (!m_batch->isActive())
        m_batch->start(m_batchMs);
}

void TqbLibraryWatcher::Deliver() {
    if (m_pending.isEmpty())
        return;
    if (m_hold && m_hold()) {
        m_batch->start(HoldRetryMs);
        return;
    }
    // A watched folder swapped with another in this batch is watched under its own name again.
    Apply(m_pending);
    QStringList dirs(m_pending.begin(), m_pending.end());
    m_pending.clear();
    dirs.sort();
    emit Changed(dirs);
}

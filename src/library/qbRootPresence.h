#pragma once

#include <QObject>
#include <QString>

class QFileSystemWatcher;

// Whether the library's root folder is there. An unplugged disk or a sync engine takes it away
// while the program runs; what it held is then not there to show, and not deleted either. The
// folders above it that exist are watched, so its going and its coming back are seen at once,
// without polling; a disk mounted again on a folder that stayed is seen at the next Check.
class TqbRootPresence : public QObject {
    Q_OBJECT

public:
    explicit TqbRootPresence(QObject* parent = nullptr);

    // No trailing "/". Announces nothing: the caller lists the root, or says it is not there.
    void SetRoot(const QString& dir);
    bool IsThere() const { return m_there; }
    // Looks again, announcing a change; IsThere() after it. For a report that may come before
    // the watch's own.
    bool Check();

signals:
    void Gone();
    void Back();

private:
    void WatchFoldersAbove();

    QFileSystemWatcher* m_watcher;
    QString m_root;
    bool m_there = false;
};

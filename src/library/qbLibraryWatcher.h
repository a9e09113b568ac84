#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

class QFileSystemWatcher;
class QTimer;

// Tells which of the library's shown folders another program changed. Only the folders given are
// watched (the open ones and the open document's), so a library of any size stays within the
// system's watch limit; a folder let go and later shown again is listed anew by its viewer.
// Reports come in batches, so a burst (a sync tool, an unpacked archive) is handled once.
class TqbLibraryWatcher : public QObject {
    Q_OBJECT

public:
    // How long changes gather before they are reported.
    static constexpr int BatchMs = 100;
    // How soon a held batch is tried again.
    static constexpr int HoldRetryMs = 200;

    explicit TqbLibraryWatcher(QObject* parent = nullptr);

    // The folders to watch (no trailing "/"); the ones watched before and not named are let go.
    void SetFolders(const QStringList& dirs);
    // The open document: its file, for writes in place, and its folder. Empty: none.
    void SetOpenFile(const QString& path);
    // Every path under watch, sorted.
    QStringList Watched() const;
    // While hold() is true a batch waits: a save, a dialog or an operation holding nodes runs.
    void SetHold(std::function<bool()> hold) { m_hold = std::move(hold); }
    // How long changes gather (BatchMs unless set): a test's burst is its own step.
    void SetBatchMs(int ms) { m_batchMs = ms; }

signals:
    // Folders whose entries changed, or that hold the open file and it changed; sorted.
    void Changed(const QStringList& dirs);

private:
    void Note(const QString& dir);
    void Deliver();
    // changed: folders whose entries changed; a watched folder in one is checked for a swap.
    void Apply(const QSet<QString>& changed = {});

    QFileSystemWatcher* m_watcher;
    QTimer* m_batch;
    QSet<QString> m_folders;
    // The identity of each folder watched, as it was when the watch began.
    QHash<QString, QByteArray> m_dirIds;
    QString m_openFile;
    QSet<QString> m_pending;
    std::function<bool()> m_hold;
    int m_batchMs = BatchMs;
};

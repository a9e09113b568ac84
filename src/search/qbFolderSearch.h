#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>

class QThread;

// One folder search, run on its own thread so the window keeps painting. Signals arrive queued
// in the order of the walk: Collected once, then Progress and Found, then Finished.
class TqbFolderSearch : public QObject {
    Q_OBJECT
public:
    // searchText is already trimmed and folded; root has no trailing delimiter.
    TqbFolderSearch(QString root, QString searchText, QObject* parent = nullptr);
    // Stops the scan and waits for its thread.
    ~TqbFolderSearch() override;

    void Start();
    bool IsRunning() const;

signals:
    void Collected(int candidates);
    // How many candidates have been read.
    void Progress(int done);
    void Found(const QString& path, const QString& label);
    // Files that could not be read, each with the reason; the search went on without them.
    void Finished(const QStringList& unreadable);

private:
    void Run();

    const QString m_root;
    const QString m_searchText;
    QThread* m_thread = nullptr;
    std::atomic<bool> m_cancel = false;
};

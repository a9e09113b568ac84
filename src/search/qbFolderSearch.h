#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

class QThread;
class TqbOrderedScan;

// One row of the result list.
struct TqbSearchHit {
    // As the tree shows it: names copied from Windows decoded from code page 949.
    QString path;
    QString label;
    // The bytes that reach the file.
    QByteArray nativePath;
};

// One folder search, run off the window's thread: every core reads pages, from while the walk
// is still finding them. Its signals come through the event loop of the thread the object lives
// in, hits in the order of the walk: Collected once the walk is over, then Progress and the hits,
// then Finished. They are cheap for a window: Progress comes at most 25 times a second, and the
// hits come in batches at the same pace, the first one as soon as it is known. None comes after
// Cancel or after the object is deleted.
class TqbFolderSearch : public QObject {
    Q_OBJECT
public:
    // searchText is already trimmed and folded; root has no trailing delimiter.
    TqbFolderSearch(QString root, QString searchText, QObject* parent = nullptr);
    // Cancels and waits for the search's threads, which stop within one file.
    ~TqbFolderSearch() override;

    void Start();
    // Stops the search soon, without waiting; no signal comes after it.
    void Cancel();
    // Blocks until the search's threads have ended (after Cancel, within one file).
    void Wait();
    bool IsRunning() const;

signals:
    void Collected(int candidates);
    // How many candidates have been read.
    void Progress(int done);
    // The hits found since the last batch, in walk order. The first batches may come before
    // Collected, while the walk goes on.
    void FoundBatch(const QList<TqbSearchHit>& hits);
    // The same hits one by one, never before Collected. A window adding rows takes FoundBatch
    // instead.
    void Found(const QString& path, const QString& label);
    // Files that could not be read, each with the reason; the search went on without them.
    // Not sent after Cancel.
    void Finished(const QStringList& unreadable);

private:
    struct Publisher;

    void Run();
    qsizetype Walk(TqbOrderedScan& scan, Publisher& publisher);
    void Scan(TqbOrderedScan& scan, Publisher* publisher);
    void Publish(Publisher& publisher, bool last);
    void Send(std::function<void()> signal);

    const QString m_root;
    const QString m_searchText;
    QThread* m_thread = nullptr;
    std::atomic<bool> m_cancel = false;
};

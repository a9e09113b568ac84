#include "search/qbFolderSearch.h"

#include "platform/qbError.h"
#include "platform/qbNativeNames.h"
#include "search/qbOrderedScan.h"
#include "search/qbSearchFiles.h"
#include "search/qbTextFinder.h"

#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <exception>
#include <functional>
#include <thread>
#include <vector>

namespace {

// At most 25 progress steps and hit batches a second: a window repaints its bar on each one.
constexpr qint64 SignalIntervalMs = 40;

// More readers than this only queue for the disk.
constexpr int MaxThreads = 4;

// Candidates go to the readers in runs of this many: fewer trips to the lock.
constexpr qsizetype WalkBatch = 32;

} // namespace

struct TqbFolderSearch::Publisher {
    TqbOrderedScan& scan;
    QElapsedTimer clock{};
    bool collected = false;
    qsizetype published = 0;
    QList<TqbSearchHit> hits{};
    QList<TqbSearchHit> oneByOne{}; // held back until Collected
    QStringList unreadable{};
    bool hitsSent = false;
    qint64 lastHits = 0;
    qsizetype progressSent = 0;
    qint64 lastProgress = 0;
};

TqbFolderSearch::TqbFolderSearch(QString root, QString searchText, QObject* parent)
    : QObject(parent), m_root(std::move(root)), m_searchText(std::move(searchText)) {}

TqbFolderSearch::~TqbFolderSearch() {
    Cancel();
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

void TqbFolderSearch::Start() {
    if (m_thread)
        return;
    m_thread = QThread::create([this] { Run(); });
    m_thread->start();
}

void TqbFolderSearch::Cancel() {
    m_cancel = true;
}

void TqbFolderSearch::Wait() {
    if (m_thread)
        m_thread->wait();
}

// The signals are sent from this object's own thread, through its own event queue: what the
// search thread hands on and is not delivered yet goes with the object when it is deleted, and
// is dropped once the search is cancelled.
void TqbFolderSearch::Send(std::function<void()> signal) {
    QMetaObject::invokeMethod(
        this,
        [this, signal = std::move(signal)] {
            if (!m_cancel)
                signal();
        },
        Qt::QueuedConnection);
}

bool TqbFolderSearch::IsRunning() const {
    return m_thread && m_thread->isRunning();
}

void TqbFolderSearch::Run() {
    TqbOrderedScan scan;
    Publisher publisher{scan};
    publisher.clock.start();
    // The other threads read pages as soon as the walk hands them over.
    const int threads = std::clamp(QThread::idealThreadCount(), 1, MaxThreads);
    std::vector<std::thread> helpers;
    for (int i = 1; i < threads; ++i)
        helpers.emplace_back([&] { Scan(scan, nullptr); });
    const qsizetype candidates = Walk(scan, publisher);
    if (!m_cancel) {
        publisher.collected = true;
        Send([this, candidates] { emit Collected(int(candidates)); });
        // This thread reads too, and hands on what is known in order after each run it reads.
        Scan(scan, &publisher);
    }
    for (std::thread& helper : helpers)
        helper.join();
    if (m_cancel)
        return;
    Publish(publisher, true);
    Send([this, unreadable = publisher.unreadable] { emit Finished(unreadable); });
}

qsizetype TqbFolderSearch::Walk(TqbOrderedScan& scan, Publisher& publisher) {
    qsizetype count = 0;
    QList<QByteArray> batch;
    qbSearch::CollectSearchFiles(
        m_root,
        [&](const QByteArray& path) {
            batch.append(path);
            ++count;
            if (batch.size() == WalkBatch) {
                scan.Add(batch);
                batch.clear();
                // What the other threads have found so far.
                Publish(publisher, false);
            }
        },
        &m_cancel);
    scan.Add(batch);
    scan.Close();
    return count;
}

void TqbFolderSearch::Scan(TqbOrderedScan& scan, Publisher* publisher) {
    TqbTextFinder finder(m_searchText);
    qsizetype begin = 0;
    QList<QByteArray> paths;
    while (!m_cancel && scan.Claim(begin, paths)) {
        for (qsizetype i = 0; i < paths.size() && !m_cancel; ++i) {
            try {
                const bool hit = finder.FileContainsText(paths.at(i));
                scan.Give(begin + i, hit ? TqbOrderedScan::Hit : TqbOrderedScan::Miss);
            } catch (const EqbError& error) {
                scan.Give(begin + i, TqbOrderedScan::Unreadable, error.Message());
            } catch (const std::exception& error) {
                // A page too big for memory, say: it is skipped like an unreadable one.
                scan.Give(begin + i, TqbOrderedScan::Unreadable,
                          qbNativeNames::ShownPath(paths.at(i)) + u'\n' +
                              QString::fromLocal8Bit(error.what()));
            }
        }
        if (publisher)
            Publish(*publisher, false);
    }
}

void TqbFolderSearch::Publish(Publisher& publisher, bool last) {
    const qsizetype ready = publisher.scan.AnsweredPrefix();
    for (; publisher.published < ready; ++publisher.published) {
        const qsizetype i = publisher.published;
        const TqbOrderedScan::Answer answer = publisher.scan.AnswerAt(i);
        if (answer == TqbOrderedScan::Unreadable) {
            publisher.unreadable.append(publisher.scan.ErrorAt(i));
        } else if (answer == TqbOrderedScan::Hit) {
            const QByteArray nativePath = publisher.scan.PathAt(i);
            const QString path = qbNativeNames::ShownPath(nativePath);
            const QString label = qbSearch::SearchRowLabel(m_root, path);
            if (label.isEmpty())
                continue;
            publisher.hits.append({path, label, nativePath});
            publisher.oneByOne.append(publisher.hits.last());
        }
    }
    if (publisher.collected && !publisher.oneByOne.isEmpty()) {
        Send([this, hits = publisher.oneByOne] {
            for (const TqbSearchHit& hit : hits)
                emit Found(hit.path, hit.label);
        });
        publisher.oneByOne.clear();
    }
    const qint64 now = publisher.clock.elapsed();
    if (!publisher.hits.isEmpty() &&
        (last || !publisher.hitsSent || now - publisher.lastHits >= SignalIntervalMs)) {
        Send([this, hits = publisher.hits] { emit FoundBatch(hits); });
        publisher.hits.clear();
        publisher.hitsSent = true;
        publisher.lastHits = now;
    }
    if (publisher.collected && ready > publisher.progressSent &&
        (last || now - publisher.lastProgress >= SignalIntervalMs)) {
        Send([this, ready] { emit Progress(int(ready)); });
        publisher.progressSent = ready;
        publisher.lastProgress = now;
    }
}

#include "search/qbFolderSearch.h"

#include "platform/qbError.h"
#include "search/qbOrderedScan.h"
#include "search/qbSearchFiles.h"
#include "search/qbTextFinder.h"

#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

namespace {

// At most 25 progress steps and hit batches a second: a window repaints its bar on each one.
constexpr qint64 SignalIntervalMs = 40;

// More readers than this only queue for the disk.
constexpr int MaxThreads = 4;

} // namespace

struct TqbFolderSearch::Publisher {
    const QStringList& files;
    TqbOrderedScan& scan;
    QElapsedTimer clock;
    qsizetype published = 0;
    QList<TqbSearchHit> hits;
    QStringList unreadable;
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

bool TqbFolderSearch::IsRunning() const {
    return m_thread && m_thread->isRunning();
}

void TqbFolderSearch::Run() {
    QStringList files;
    qbSearch::CollectSearchFiles(m_root, files, &m_cancel);
    if (m_cancel)
        return;
    emit Collected(int(files.size()));

    TqbOrderedScan scan(files.size());
    Publisher publisher{files, scan};
    publisher.clock.start();
    const int threads = std::clamp(QThread::idealThreadCount(), 1, MaxThreads);
    std::vector<std::thread> helpers;
    for (int i = 1; i < threads && i * 8 < files.size(); ++i)
        helpers.emplace_back([&] { Scan(files, scan, nullptr); });
    // This thread reads too, and hands on what is known in order after each run it reads.
    Scan(files, scan, &publisher);
    for (std::thread& helper : helpers)
        helper.join();
    if (m_cancel)
        return;
    Publish(publisher, true);
    emit Finished(publisher.unreadable);
}

void TqbFolderSearch::Scan(const QStringList& files, TqbOrderedScan& scan, Publisher* publisher) {
    TqbTextFinder finder(m_searchText);
    qsizetype begin = 0;
    qsizetype end = 0;
    while (!m_cancel && scan.Claim(begin, end)) {
        for (qsizetype i = begin; i < end && !m_cancel; ++i) {
            try {
                const bool hit = finder.FileContainsText(files.at(i));
                scan.Give(i, hit ? TqbOrderedScan::Hit : TqbOrderedScan::Miss);
            } catch (const EqbError& error) {
                scan.Give(i, TqbOrderedScan::Unreadable, error.Message());
            } catch (const std::exception& error) {
                // A page too big for memory, say: it is skipped like an unreadable one.
                scan.Give(i, TqbOrderedScan::Unreadable,
                          files.at(i) + u'\n' + QString::fromLocal8Bit(error.what()));
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
            const QString& path = publisher.files.at(i);
            const QString label = qbSearch::SearchRowLabel(m_root, path);
            if (label.isEmpty())
                continue;
            publisher.hits.append({path, label});
            emit Found(path, label);
        }
    }
    const qint64 now = publisher.clock.elapsed();
    if (!publisher.hits.isEmpty() &&
        (last || !publisher.hitsSent || now - publisher.lastHits >= SignalIntervalMs)) {
        emit FoundBatch(publisher.hits);
        publisher.hits.clear();
        publisher.hitsSent = true;
        publisher.lastHits = now;
    }
    if (ready > publisher.progressSent &&
        (last || now - publisher.lastProgress >= SignalIntervalMs)) {
        emit Progress(int(ready));
        publisher.progressSent = ready;
        publisher.lastProgress = now;
    }
}

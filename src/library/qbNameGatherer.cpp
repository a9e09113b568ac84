#include "library/qbNameGatherer.h"

#include "library/qbFolderListing.h"
#include "platform/qbFileStamp.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QMetaObject>
#include <QThread>

namespace {

// Batches are handed over at least this often, so the first names show at once.
constexpr int BatchMs = 15;

} // namespace

QString qbVisibleName(const QString& name) {
    QString shown = name;
    for (QChar& c : shown) {
        const char16_t u = c.unicode();
        if (u < 0x20)
            c = QChar(0x2400 + u); // the control pictures block: ␉, ␊, ...
        else if (u == 0x7F)
            c = QChar(0x2421);
        else if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
                 c.category() == QChar::Separator_Paragraph)
            c = QChar(0xFFFD);
    }
    return shown;
}

TqbNameGatherer::TqbNameGatherer(QObject* parent) : QObject(parent) {}

TqbNameGatherer::~TqbNameGatherer() {
    Stop();
}

bool TqbNameGatherer::Running() const {
    return m_thread && m_thread->isRunning();
}

void TqbNameGatherer::Stop() {
    if (!m_thread)
        return;
    m_stop->store(true);
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
}

void TqbNameGatherer::Start(const QString& root, const QString& noteExt) {
    Stop();
    m_stop = std::make_shared<std::atomic<bool>>(false);
    const auto stop = m_stop;
    TqbNameGatherer* self = this; // outlives the thread: the destructor waits for it
    const QString top = root.endsWith(u'/') && root.size() > 1 ? root.chopped(1) : root;
    m_thread = QThread::create([self, stop, top, noteExt] {
        QList<TqbGatheredName> batch;
        QStringList conflicted;
        QElapsedTimer sinceBatch;
        sinceBatch.start();
        const auto handOver = [&] {
            // Queued to the gatherer's thread; nothing arrives once it stopped.
            QMetaObject::invokeMethod(
                self,
                [self, stop, names = std::move(batch), files = std::move(conflicted)] {
                    if (stop->load())
                        return;
                    emit self->Batch(names);
                    if (!files.isEmpty())
                        emit self->Conflicted(files);
                },
                Qt::QueuedConnection);
            batch = {};
            conflicted = {};
            sinceBatch.restart();
        };
        const auto add = [&](const QString& path, const QString& name, const QString& folder) {
            const QString shown = qbVisibleName(name);
            batch.append({path, shown, qbVisibleName(folder), qbNameMatch::Prepare(name),
                          qbNameOrder::TKey(shown),
                          TqbFileStamp::FileId(path.endsWith(u'/') ? path.chopped(1) : path)});
            if (sinceBatch.elapsed() >= BatchMs)
                handOver();
        };
        QList<QString> pending = {QString()}; // folders from the root, "" being the root
        while (!pending.isEmpty() && !stop->load()) {
            const QString relative = pending.takeFirst();
            const QString dir = relative.isEmpty() ? top : top + u'/' + relative;
            const TqbFolderListing listing = ListFolder(dir, noteExt, top);
            for (const QString& name : listing.Conflicted)
                conflicted << dir + u'/' + name;
            // A stop is seen within a folder of thousands too.
            for (const TqbListedName& folder : listing.Folders) {
                if (stop->load())
                    break;
                if (!folder.RawName.isEmpty())
                    continue;
                const QString inside =
                    relative.isEmpty() ? folder.Name : relative + u'/' + folder.Name;
                add(dir + u'/' + folder.Name + u'/', folder.Name, relative);
                pending.append(inside);
            }
            for (const TqbListedName& note : listing.NoteFiles)
                if (note.RawName.isEmpty() && !stop->load())
                    add(dir + u'/' + note.Name, QFileInfo(note.Name).completeBaseName(), relative);
        }
        if (!batch.isEmpty() || !conflicted.isEmpty())
            handOver();
        QMetaObject::invokeMethod(
            self,
            [self, stop] {
                if (!stop->load())
                    emit self->Finished();
            },
            Qt::QueuedConnection);
    });
    m_thread->start(QThread::LowPriority);
}

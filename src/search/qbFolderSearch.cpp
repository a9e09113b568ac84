#include "search/qbFolderSearch.h"

#include "platform/qbError.h"
#include "search/qbSearchFiles.h"
#include "search/qbSearchText.h"

#include <QThread>

namespace {

// Enough steps for a smooth bar without flooding the window's event queue.
constexpr int ProgressSteps = 200;

} // namespace

TqbFolderSearch::TqbFolderSearch(QString root, QString searchText, QObject* parent)
    : QObject(parent), m_root(std::move(root)), m_searchText(std::move(searchText)) {}

TqbFolderSearch::~TqbFolderSearch() {
    m_cancel = true;
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

bool TqbFolderSearch::IsRunning() const {
    return m_thread && m_thread->isRunning();
}

void TqbFolderSearch::Run() {
    QStringList files;
    qbSearch::CollectSearchFiles(m_root, files);
    emit Collected(int(files.size()));

    TqbTextFinder finder(m_searchText);
    QStringList unreadable;
    const int count = int(files.size());
    const int step = std::max(1, count / ProgressSteps);
    for (int i = 0; i < count && !m_cancel; ++i) {
        const QString& path = files.at(i);
        try {
            if (finder.FileContainsText(path)) {
                const QString label = qbSearch::SearchRowLabel(m_root, path);
                if (!label.isEmpty())
                    emit Found(path, label);
            }
        } catch (const EqbError& error) {
            unreadable.append(error.Message());
        }
        if ((i + 1) % step == 0 || i + 1 == count)
            emit Progress(i + 1);
    }
    emit Finished(unreadable);
}

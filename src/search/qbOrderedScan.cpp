#include "search/qbOrderedScan.h"

namespace {

// Small enough that the first hit is not held up behind a long run, large enough that the
// threads rarely meet at the lock.
constexpr qsizetype ClaimSize = 4;

} // namespace

void TqbOrderedScan::Add(const QList<QByteArray>& paths) {
    if (paths.isEmpty())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_paths += paths;
        m_answers.resize(size_t(m_paths.size()), Pending);
        m_errors.resize(size_t(m_paths.size()));
    }
    m_added.notify_all();
}

void TqbOrderedScan::Close() {
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    m_added.notify_all();
}

bool TqbOrderedScan::Claim(qsizetype& begin, QList<QByteArray>& paths) {
    std::unique_lock lock(m_mutex);
    m_added.wait(lock, [this] { return m_closed || m_next < m_paths.size(); });
    if (m_next >= m_paths.size())
        return false;
    begin = m_next;
    const qsizetype count = std::min(ClaimSize, m_paths.size() - m_next);
    paths = m_paths.mid(m_next, count);
    m_next += count;
    return true;
}

void TqbOrderedScan::Give(qsizetype index, Answer answer, const QString& error) {
    const std::lock_guard lock(m_mutex);
    m_answers[size_t(index)] = answer;
    if (answer == Unreadable)
        m_errors[size_t(index)] = error;
}

qsizetype TqbOrderedScan::AnsweredPrefix() {
    const std::lock_guard lock(m_mutex);
    while (m_prefix < qsizetype(m_answers.size()) && m_answers[size_t(m_prefix)] != Pending)
        ++m_prefix;
    return m_prefix;
}

TqbOrderedScan::Answer TqbOrderedScan::AnswerAt(qsizetype index) const {
    const std::lock_guard lock(m_mutex);
    return m_answers[size_t(index)];
}

QByteArray TqbOrderedScan::PathAt(qsizetype index) const {
    const std::lock_guard lock(m_mutex);
    return m_paths.at(index);
}

QString TqbOrderedScan::ErrorAt(qsizetype index) const {
    const std::lock_guard lock(m_mutex);
    return m_errors[size_t(index)];
}

#include "search/qbOrderedScan.h"

namespace {

// Small enough that the first hit is not held up behind a long run, large enough that the
// threads rarely meet on the counter.
constexpr qsizetype ClaimSize = 4;

} // namespace

TqbOrderedScan::TqbOrderedScan(qsizetype count)
    : m_count(count), m_answers(new std::atomic<quint8>[size_t(count)]), m_errors(size_t(count)) {
    for (qsizetype i = 0; i < count; ++i)
        m_answers[size_t(i)].store(Pending, std::memory_order_relaxed);
}

bool TqbOrderedScan::Claim(qsizetype& begin, qsizetype& end) {
    begin = m_next.fetch_add(ClaimSize, std::memory_order_relaxed);
    if (begin >= m_count)
        return false;
    end = std::min(begin + ClaimSize, m_count);
    return true;
}

void TqbOrderedScan::Give(qsizetype index, Answer answer, const QString& error) {
    if (answer == Unreadable)
        m_errors[size_t(index)] = error;
    m_answers[size_t(index)].store(answer, std::memory_order_release);
}

qsizetype TqbOrderedScan::AnsweredPrefix() {
    while (m_prefix < m_count &&
           m_answers[size_t(m_prefix)].load(std::memory_order_acquire) != Pending)
        ++m_prefix;
    return m_prefix;
}

TqbOrderedScan::Answer TqbOrderedScan::AnswerAt(qsizetype index) const {
    return Answer(m_answers[size_t(index)].load(std::memory_order_acquire));
}

const QString& TqbOrderedScan::ErrorAt(qsizetype index) const {
    return m_errors[size_t(index)];
}

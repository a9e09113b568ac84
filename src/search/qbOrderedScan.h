#pragma once

#include <QString>
#include <atomic>
#include <memory>
#include <vector>

// The answers for one search's candidates: several threads claim runs of candidates and answer
// them in any order; one thread takes the answers in the order of the walk.
class TqbOrderedScan {
public:
    enum Answer : quint8 { Pending, Miss, Hit, Unreadable };

    explicit TqbOrderedScan(qsizetype count);

    // The next candidates to read, [begin, end); false when every one is taken.
    bool Claim(qsizetype& begin, qsizetype& end);
    // Once per candidate, from the thread that claimed it; error goes with Unreadable.
    void Give(qsizetype index, Answer answer, const QString& error = {});

    // How many candidates from the first on are answered. Called by one thread only.
    qsizetype AnsweredPrefix();
    // For an index below AnsweredPrefix().
    Answer AnswerAt(qsizetype index) const;
    const QString& ErrorAt(qsizetype index) const;

private:
    const qsizetype m_count;
    std::atomic<qsizetype> m_next = 0;
    std::unique_ptr<std::atomic<quint8>[]> m_answers;
    std::vector<QString> m_errors;
    qsizetype m_prefix = 0;
};

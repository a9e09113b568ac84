#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <condition_variable>
#include <mutex>
#include <vector>

// The candidates of one search (the bytes of their paths) and their answers. The walk adds
// candidates while reader threads already claim runs of them and answer them in any order; one
// thread takes the answers in the order of the walk.
class TqbOrderedScan {
public:
    enum Answer : quint8 { Pending, Miss, Hit, Unreadable };

    // The walk's side: more candidates, in walk order; then the end of the walk.
    void Add(const QList<QByteArray>& paths);
    void Close();

    // The next candidates to read: their first index and their paths. Waits while the walk may
    // still add some; false when every candidate is taken and the walk is over.
    bool Claim(qsizetype& begin, QList<QByteArray>& paths);
    // Once per candidate, from the thread that claimed it; error goes with Unreadable.
    void Give(qsizetype index, Answer answer, const QString& error = {});

    // How many candidates from the first on are answered. Called by one thread only.
    qsizetype AnsweredPrefix();
    // For an index below AnsweredPrefix().
    Answer AnswerAt(qsizetype index) const;
    QByteArray PathAt(qsizetype index) const;
    QString ErrorAt(qsizetype index) const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_added;
    QList<QByteArray> m_paths;
    std::vector<Answer> m_answers;
    std::vector<QString> m_errors;
    qsizetype m_next = 0;
    qsizetype m_prefix = 0;
    bool m_closed = false;
};

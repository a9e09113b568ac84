#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into one Qt signal on the thread that made this object, so
// that a kill, a closed terminal or a logout saves the open note and closes as a close does.
// The handler only writes to a pipe (async-signal-safe); the rest runs in the event loop. A
// program whose event loop no longer runs, or whose answer to the first never returns, still
// ends: the third signal that finds the two before it unanswered takes the system's default action. One object at a time; the handlers that were
// there before come back when it goes.
class TqbQuitSignals : public QObject {
    Q_OBJECT
public:
    explicit TqbQuitSignals(QObject* parent = nullptr);
    ~TqbQuitSignals() override;
    TqbQuitSignals(const TqbQuitSignals&) = delete;
    TqbQuitSignals& operator=(const TqbQuitSignals&) = delete;

    // False where the platform has no such signals or another object already watches them.
    bool IsWatching() const { return m_notifier != nullptr; }

    // Signals sent while earlier ones wait unanswered before the default action is taken.
    static constexpr int MaxUnanswered = 2;

signals:
    // Once for the signals that arrived since the last time; the number of the latest.
    void QuitRequested(int signalNumber);

private:
    void OnReadable();

    QSocketNotifier* m_notifier = nullptr;
    bool m_answering = false; // QuitRequested has not returned yet
};

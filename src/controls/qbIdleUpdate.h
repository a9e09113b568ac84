#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

// Brings something up to date (the enabled look of the commands, say) every so often while
// anything happens in the program, and not at all while nothing does: the update cannot know
// what changed, and a timer that runs for ever costs an idle window a share of a core.
class TqbIdleUpdate : public QObject {
    Q_OBJECT
public:
    // Watches the whole application's events from now on.
    TqbIdleUpdate(QObject* parent, int intervalMs, std::function<void()> update);

    bool Resting() const { return !m_timer.isActive(); }

signals:
    // Nothing happened since the last update: no more until something does.
    void Rested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Tick();

    std::function<void()> m_update;
    QTimer m_timer;
    bool m_happened = false;
};

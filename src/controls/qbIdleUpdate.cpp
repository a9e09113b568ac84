#include "controls/qbIdleUpdate.h"

#include <QCoreApplication>
#include <QEvent>

TqbIdleUpdate::TqbIdleUpdate(QObject* parent, int intervalMs, std::function<void()> update)
    : QObject(parent), m_update(std::move(update)) {
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &TqbIdleUpdate::Tick);
    m_timer.start();
    m_happened = true;
    QCoreApplication::instance()->installEventFilter(this);
}

// A program's own timers (a save every few minutes, say) count; what widgets and the web engine
// run on timers of their own (a caret's blink, the engine's housekeeping) changes no command,
// and neither do this one's own ticks.
bool TqbIdleUpdate::eventFilter(QObject* watched, QEvent* event) {
    const bool noise = event->type() == QEvent::Timer &&
                       (watched == &m_timer || !qobject_cast<QTimer*>(watched));
    if (!noise) {
        m_happened = true;
        if (!m_timer.isActive())
            m_timer.start();
    }
    return QObject::eventFilter(watched, event);
}

void TqbIdleUpdate::Tick() {
    if (!m_happened) {
        m_timer.stop();
        emit Rested();
        return;
    }
    m_update();
    // What the update itself sent is no news.
    m_happened = false;
    emit Updated();
}

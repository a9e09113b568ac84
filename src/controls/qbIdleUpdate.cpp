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

// Timers alone change nothing a user sees until they do something that sends an event (a
// save, a repaint): this one's own ticks must not keep it awake.
bool TqbIdleUpdate::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Timer) {
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

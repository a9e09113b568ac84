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

// Anything counts, timers too: the web engine hands the page's news (the state of its undo
// and paste) to the program on timers of its own. Only this one's own ticks do not, and once
// carets rest (see TqbCaretBlink) an idle window hears next to nothing.
bool TqbIdleUpdate::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_timer) {
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
}

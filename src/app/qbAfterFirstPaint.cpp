#include "app/qbAfterFirstPaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <utility>

TqbAfterFirstPaint::TqbAfterFirstPaint(QWidget* widget, std::function<void()> task, int unpaintedMs)
    : QObject(widget), m_widget(widget), m_task(std::move(task)) {
    m_widget->installEventFilter(this);
    m_fallback = new QTimer(this);
    m_fallback->setSingleShot(true);
    connect(m_fallback, &QTimer::timeout, this, &TqbAfterFirstPaint::Run);
    if (unpaintedMs >= 0)
        m_fallback->start(unpaintedMs);
}

bool TqbAfterFirstPaint::eventFilter(QObject* watched, QEvent* event) {
    // Queued: the picture reaches the screen once the paint returns.
    if (watched == m_widget && event->type() == QEvent::Paint) {
        m_widget->removeEventFilter(this);
        QTimer::singleShot(0, this, &TqbAfterFirstPaint::Run);
    }
    return false;
}

void TqbAfterFirstPaint::Run() {
    if (!m_task)
        return;
    m_fallback->stop();
    m_widget->removeEventFilter(this);
    std::exchange(m_task, nullptr)();
    deleteLater();
}

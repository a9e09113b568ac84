#include "frames/qbCaptionDrag.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

TqbCaptionDrag::TqbCaptionDrag(QWidget* handle) : QObject(handle), m_handle(handle) {
    handle->installEventFilter(this);
}

QPoint TqbCaptionDrag::Target(QPoint windowStart, QPoint pressGlobal, QPoint global) {
    return windowStart + (global - pressGlobal);
}

bool TqbCaptionDrag::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_handle)
        return false;
    QWidget* window = m_handle->window();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (Takes && !Takes(mouse->position().toPoint()))
            return false;
        if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) &&
            window->windowHandle()) {
            window->windowHandle()->startSystemMove();
            return false;
        }
        m_dragging = true;
        m_pressGlobal = mouse->globalPosition().toPoint();
        m_windowStart = window->pos();
        return false;
    }
    case QEvent::MouseMove: {
        if (!m_dragging)
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        QPoint to = Target(m_windowStart, m_pressGlobal, mouse->globalPosition().toPoint());
        if (Correct)
            to = Correct(to);
        window->move(to);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton)
            m_dragging = false;
        return false;
    default:
        return false;
    }
}

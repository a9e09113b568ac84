#include "frames/qbFrameResize.h"

#include "frames/qbFrameEdges.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

TqbFrameResize::TqbFrameResize(QWidget* window) : QObject(window), m_window(window) {
    for (const char* name : {"edgeLeft", "edgeTop", "edgeRight", "edgeBottom"}) {
        auto* strip = new QWidget(window);
        strip->setObjectName(QLatin1String(name));
        strip->setMouseTracking(true);
        strip->installEventFilter(this);
        strip->hide();
        m_strips << strip;
    }
}

void TqbFrameResize::AddGrip(QWidget* grip) {
    m_grip = grip;
    grip->setCursor(Qt::SizeFDiagCursor);
    grip->installEventFilter(this);
}

void TqbFrameResize::SetBorder(int border, bool enabled) {
    m_border = border;
    m_enabled = enabled && border > 0;
    Layout();
}

void TqbFrameResize::Layout() {
    const int w = m_window->width();
    const int h = m_window->height();
    const int b = m_border;
    const QRect places[4] = {QRect(0, 0, b, h), QRect(0, 0, w, b), QRect(w - b, 0, b, h),
                             QRect(0, h - b, w, b)};
    for (int i = 0; i < 4; ++i) {
        m_strips[i]->setGeometry(places[i]);
        m_strips[i]->setVisible(m_enabled);
        m_strips[i]->raise();
    }
}

Qt::Edges TqbFrameResize::EdgesUnder(QWidget* strip, QPoint local) const {
    return qbFrameEdges::EdgesAt(strip->mapTo(m_window, local), m_window->size(), m_border);
}

void TqbFrameResize::Begin(Qt::Edges edges, QPoint global) {
    if (!edges)
        return;
    QWindow* handle = m_window->windowHandle();
    if (handle && handle->startSystemResize(edges))
        return;
    m_resizing = true;
    m_edges = edges;
    m_pressGlobal = global;
    m_startGeometry = m_window->geometry();
}

bool TqbFrameResize::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    const bool isStrip = m_strips.contains(widget);
    if (!widget || (!isStrip && widget != m_grip))
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        const Qt::Edges edges = isStrip ? EdgesUnder(widget, mouse->position().toPoint())
                                        : Qt::Edges(Qt::RightEdge | Qt::BottomEdge);
        Begin(edges, mouse->globalPosition().toPoint());
        return true;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_resizing) {
            const QSize minimum = m_window->minimumSize();
            m_window->setGeometry(qbFrameEdges::Resized(
                m_startGeometry, m_edges, mouse->globalPosition().toPoint() - m_pressGlobal, minimum));
            return true;
        }
        if (isStrip)
            widget->setCursor(qbFrameEdges::CursorFor(EdgesUnder(widget, mouse->position().toPoint())));
        return false;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton)
            m_resizing = false;
        return false;
    default:
        return false;
    }
}

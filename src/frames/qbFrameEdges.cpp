#include "frames/qbFrameEdges.h"

namespace qbFrameEdges {

Qt::Edges EdgesAt(QPoint at, QSize size, int border) {
    const int w = size.width();
    const int h = size.height();
    if (at.x() < 0 || at.y() < 0 || at.x() >= w || at.y() >= h)
        return {};
    const int reach = qMax(border, CornerReach);
    const bool onLeft = at.x() < border;
    const bool onRight = at.x() >= w - border;
    const bool onTop = at.y() < border;
    const bool onBottom = at.y() >= h - border;
    Qt::Edges edges;
    if (onLeft || onRight) {
        edges |= onLeft ? Qt::LeftEdge : Qt::RightEdge;
        if (at.y() < reach)
            edges |= Qt::TopEdge;
        else if (at.y() >= h - reach)
            edges |= Qt::BottomEdge;
    }
    if (onTop || onBottom) {
        edges |= onTop ? Qt::TopEdge : Qt::BottomEdge;
        if (at.x() < reach)
            edges |= Qt::LeftEdge;
        else if (at.x() >= w - reach)
            edges |= Qt::RightEdge;
    }
    return edges;
}

QRect Resized(const QRect& start, Qt::Edges edges, QPoint delta, QSize minimum) {
    int left = start.left();
    int top = start.top();
    int right = start.left() + start.width();
    int bottom = start.top() + start.height();
    if (edges & Qt::LeftEdge)
        left = qMin(left + delta.x(), right - minimum.width());
    if (edges & Qt::RightEdge)
        right = qMax(right + delta.x(), left + minimum.width());
    if (edges & Qt::TopEdge)
        top = qMin(top + delta.y(), bottom - minimum.height());
    if (edges & Qt::BottomEdge)
        bottom = qMax(bottom + delta.y(), top + minimum.height());
    return QRect(left, top, right - left, bottom - top);
}

Qt::CursorShape CursorFor(Qt::Edges edges) {
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical) {
        const bool mainDiagonal = (edges & Qt::LeftEdge) == bool(edges & Qt::TopEdge);
        return mainDiagonal ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    }
    if (horizontal)
        return Qt::SizeHorCursor;
    return vertical ? Qt::SizeVerCursor : Qt::ArrowCursor;
}

} // namespace qbFrameEdges

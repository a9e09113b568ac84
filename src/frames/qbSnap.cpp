#include "frames/qbSnap.h"

#include <cstdlib>

namespace qbSnap {

QRect SnapRect(const QRect& monitor, const QRect& workArea, bool primary) {
    return primary ? workArea : monitor;
}

QRect Moving(const QRect& proposed, QPoint cursor, QPoint grabOffset, const QRect& snapRect,
             bool maximized) {
    if (maximized)
        return proposed;
    // Edges as the moving notification gives them: right and bottom exclusive.
    int left = proposed.left();
    int top = proposed.top();
    const int width = proposed.width();
    const int height = proposed.height();
    const QPoint g = grabOffset;
    if (std::abs(cursor.x() - left - g.x()) > ReleaseDistance)
        return QRect(cursor.x() - g.x(), top, width, height);
    if (std::abs(cursor.y() - top - g.y()) > ReleaseDistance)
        return QRect(left, cursor.y() - g.y(), width, height);

    const QRect& s = snapRect;
    const int sRight = s.left() + s.width();
    const int sBottom = s.top() + s.height();
    if (std::abs(s.left() - left) < SnapDistance)
        left = s.left();
    else if (std::abs(sRight - (left + width)) < SnapDistance)
        left = sRight - width;
    if (std::abs(s.top() - top) < SnapDistance)
        top = s.top();
    else if (std::abs(sBottom - (top + height)) < SnapDistance)
        top = sBottom - height;
    return QRect(left, top, width, height);
}

} // namespace qbSnap

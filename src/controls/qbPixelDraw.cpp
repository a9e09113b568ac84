#include "controls/qbPixelDraw.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace qbPixelDraw {

std::vector<QPoint> LinePixels(QPoint from, QPoint to) {
    std::vector<QPoint> pixels;
    int x = from.x();
    int y = from.y();
    const int dx = std::abs(to.x() - x);
    const int dy = -std::abs(to.y() - y);
    const int sx = x < to.x() ? 1 : -1;
    const int sy = y < to.y() ? 1 : -1;
    int err = dx + dy;
    while (x != to.x() || y != to.y()) {
        pixels.emplace_back(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    return pixels;
}

namespace {

// How far in from the side the corner ellipse starts on row `row` of its upper half. The
// ellipse is the one inscribed in a box of `size` pixels, widened by a quarter pixel so that
// a 6-pixel box gives rows of 2, 4 and 6 pixels as small circles are usually drawn.
int CornerInset(int row, QSize size) {
    const double rx = size.width() / 2.0;
    const double ry = size.height() / 2.0;
    const double cx = rx - 0.5;
    const double cy = ry - 0.5;
    const double ax = rx - 0.25;
    const double ay = ry - 0.25;
    const double dy = (row - cy) / ay;
    const double rest = 1.0 - dy * dy;
    if (rest <= 0)
        return int(std::ceil(cx));
    const double dx = ax * std::sqrt(rest);
    return std::max(0, int(std::ceil(cx - dx - 1e-9)));
}

} // namespace

std::vector<TSpan> RoundRectSpans(const QRect& rect, QSize ellipse) {
    std::vector<TSpan> spans;
    const int w = rect.width();
    const int h = rect.height();
    if (w <= 0 || h <= 0)
        return spans;
    const QSize corner(std::min(std::max(ellipse.width(), 0), w),
                       std::min(std::max(ellipse.height(), 0), h));
    const int top = corner.height() / 2;
    for (int y = 0; y < h; ++y) {
        int inset = 0;
        if (corner.width() > 1 && corner.height() > 1) {
            if (y < top)
                inset = CornerInset(y, corner);
            else if (y >= h - top)
                inset = CornerInset(h - 1 - y, corner);
        }
        if (2 * inset >= w)
            continue;
        spans.push_back({rect.top() + y, rect.left() + inset, rect.left() + w - 1 - inset});
    }
    return spans;
}

std::vector<QPoint> RoundRectOutline(const QRect& rect, QSize ellipse) {
    const std::vector<TSpan> spans = RoundRectSpans(rect, ellipse);
    auto inside = [&](int x, int y) {
        const int i = y - rect.top();
        if (i < 0 || i >= int(spans.size()) || spans[i].Y != y)
            return false;
        return x >= spans[i].Left && x <= spans[i].Right;
    };
    std::vector<QPoint> pixels;
    for (const TSpan& s : spans)
        for (int x = s.Left; x <= s.Right; ++x)
            if (!inside(x - 1, s.Y) || !inside(x + 1, s.Y) || !inside(x, s.Y - 1) ||
                !inside(x, s.Y + 1))
                pixels.emplace_back(x, s.Y);
    return pixels;
}

QRegion RoundRectRegion(const QRect& rect, QSize ellipse) {
    QRegion region;
    for (const TSpan& s : RoundRectSpans(rect, ellipse))
        region += QRect(s.Left, s.Y, s.Right - s.Left + 1, 1);
    return region;
}

void DrawPixels(QPainter& painter, const std::vector<QPoint>& pixels, const QColor& color) {
    for (const QPoint& p : pixels)
        painter.fillRect(QRect(p, QSize(1, 1)), color);
}

void DrawLine(QPainter& painter, QPoint from, QPoint to, const QColor& color) {
    // Straight lines are one rectangle, which keeps a scaled paint free of seams.
    if (from.y() == to.y() && from.x() != to.x()) {
        const int left = from.x() < to.x() ? from.x() : to.x() + 1;
        painter.fillRect(QRect(left, from.y(), std::abs(to.x() - from.x()), 1), color);
        return;
    }
    if (from.x() == to.x() && from.y() != to.y()) {
        const int top = from.y() < to.y() ? from.y() : to.y() + 1;
        painter.fillRect(QRect(from.x(), top, 1, std::abs(to.y() - from.y())), color);
        return;
    }
    DrawPixels(painter, LinePixels(from, to), color);
}

void DrawPolyline(QPainter& painter, const std::vector<QPoint>& points, const QColor& color) {
    for (size_t i = 1; i < points.size(); ++i)
        DrawLine(painter, points[i - 1], points[i], color);
}

void RoundRect(QPainter& painter, const QRect& rect, QSize ellipse, const QColor& pen,
               const QColor& fill) {
    if (fill.isValid()) {
        const QRect area = pen.isValid() ? rect : rect.adjusted(0, 0, -1, -1);
        for (const TSpan& s : RoundRectSpans(area, ellipse))
            painter.fillRect(QRect(s.Left, s.Y, s.Right - s.Left + 1, 1), fill);
    }
    if (pen.isValid())
        DrawPixels(painter, RoundRectOutline(rect, ellipse), pen);
}

} // namespace qbPixelDraw

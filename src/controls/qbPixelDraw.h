#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <vector>

class QPainter;

// Pixel-exact drawing as the drawn controls define it: lines leave out their end point,
// rounded rectangles take corner ellipses of a given size, and every pixel is one
// device-independent pixel (a block of device pixels at a higher scale).
namespace qbPixelDraw {

// The pixels of a line from `from` towards `to`, `to` itself left out.
std::vector<QPoint> LinePixels(QPoint from, QPoint to);

// Row by row, the first and last pixel (inclusive) of a rounded rectangle covering `rect`
// (right and bottom exclusive) with corner ellipses `ellipse` wide and high.
struct TSpan {
    int Y;
    int Left;
    int Right;
};
std::vector<TSpan> RoundRectSpans(const QRect& rect, QSize ellipse);
// The one-pixel outline of that shape: its pixels with a neighbour outside it.
std::vector<QPoint> RoundRectOutline(const QRect& rect, QSize ellipse);
QRegion RoundRectRegion(const QRect& rect, QSize ellipse);

void DrawPixels(QPainter& painter, const std::vector<QPoint>& pixels, const QColor& color);
void DrawLine(QPainter& painter, QPoint from, QPoint to, const QColor& color);
// Lines through the points in turn, each leaving out its end point.
void DrawPolyline(QPainter& painter, const std::vector<QPoint>& points, const QColor& color);
// A filled rounded rectangle: `fill` inside, a one-pixel `pen` outline; an invalid colour
// leaves that part out. Without an outline the fill keeps off the right and bottom edge.
void RoundRect(QPainter& painter, const QRect& rect, QSize ellipse, const QColor& pen,
               const QColor& fill);

} // namespace qbPixelDraw

#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

// Resizing a caption-less window from its painted edges: which edges a point grabs and what a
// drag of them makes of the window.
namespace qbFrameEdges {

// Along an edge, this far from a corner grabs the corner.
inline constexpr int CornerReach = 16;

// The edges a point of a window of `size` grabs when its frame is `border` pixels wide; none
// inside the frame.
Qt::Edges EdgesAt(QPoint at, QSize size, int border);
// The window after its `edges` moved by `delta`, never below `minimum`: an edge that would
// pass the limit stops there and the opposite edge stays put.
QRect Resized(const QRect& start, Qt::Edges edges, QPoint delta, QSize minimum);
Qt::CursorShape CursorFor(Qt::Edges edges);

} // namespace qbFrameEdges

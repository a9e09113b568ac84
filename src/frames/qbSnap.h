#pragma once

#include <QPoint>
#include <QRect>

// Drag snapping: while the caption is dragged, an edge that comes within 15 pixels of the
// snap rectangle's edge sits flush with it, and stays there until the pointer is more than
// 30 pixels from where the window would follow it.
namespace qbSnap {

inline constexpr int SnapDistance = 15;
inline constexpr int ReleaseDistance = 30;

// The snap rectangle for a window on a monitor: the work area on the primary monitor, the whole
// monitor elsewhere.
QRect SnapRect(const QRect& monitor, const QRect& workArea, bool primary);

// The window's rectangle for one step of the drag: `proposed` is where the move would put it
// (the last rectangle moved by the pointer's step), `cursor` the pointer, `grabOffset` the
// pointer less the window's origin when the caption was pressed. A maximized window stays
// where it is proposed.
QRect Moving(const QRect& proposed, QPoint cursor, QPoint grabOffset, const QRect& snapRect,
             bool maximized);

} // namespace qbSnap

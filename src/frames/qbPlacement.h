#pragma once

#include <QList>
#include <QRect>
#include <optional>

// Where the main window opens, what it stores when it closes and where a maximized window's
// frame goes: rules over rectangles, so that several monitors can be checked without them.
namespace qbPlacement {

inline constexpr int DefaultInset = 25;
inline constexpr int MinWidth = 300;
inline constexpr int MinHeight = 200;
// The sizing border a maximized window pushes past the work area's edges.
inline constexpr int FitBorder = 4;

struct TScreen {
    QRect Geometry; // the whole monitor
    QRect WorkArea; // the monitor less its panels
    bool Primary = false;
};

// The monitor a rectangle belongs to: the one it overlaps most, else the closest one; -1 for
// no monitors.
int NearestScreen(const QRect& rect, const QList<TScreen>& screens);
// The primary monitor's index, or 0.
int PrimaryScreen(const QList<TScreen>& screens);

// The stored place, its missing keys given: Left and Top 25, Width and Height the primary
// monitor's size less 50.
QRect DefaultPlace(const QList<TScreen>& screens);

// The place the window opens at. A rectangle that no monitor shows (one unplugged since) keeps
// its size, at most the primary work area's less 50, and opens 25 pixels into that work area.
// One that a monitor shows keeps its size, but its caption (the top captionHeight rows) must lie
// on a work area with at least captionHeight pixels of its width, or the window could not be
// dragged: it moves the least way onto the nearest work area that makes it so.
QRect RestoredPlace(const QRect& stored, const QList<TScreen>& screens, int captionHeight);

// What closing writes: "Maximized" always, then either the window's bounds or, for a maximized
// window, the stored left and top moved to the monitor it is maximized on (when that differs
// from the stored rectangle's monitor).
struct TPlaceToStore {
    bool Maximized = false;
    std::optional<QPoint> LeftTop;
    std::optional<QSize> Size;
};
TPlaceToStore PlaceToStore(bool maximized, const QRect& window, const QRect& stored,
                           const QList<TScreen>& screens);

// The bounds a maximized window takes on a monitor. On the primary monitor the sizing border
// lies outside the work area except at the bottom, where it stays inside; with a panel of at
// most three rows (one that hides) the window also leaves the work area's last row free, so
// the panel can still be reached. Elsewhere the border lies outside the whole monitor.
QRect FitToWorkArea(const TScreen& screen);

} // namespace qbPlacement

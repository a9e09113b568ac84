#include "frames/qbPlacement.h"

#include <algorithm>
#include <climits>

namespace qbPlacement {

namespace {

qint64 Area(const QRect& rect) {
    return rect.isValid() ? qint64(rect.width()) * rect.height() : 0;
}

// Squared distance between two rectangles; 0 when they touch or overlap.
qint64 Distance(const QRect& a, const QRect& b) {
    const qint64 dx = std::max({0, b.left() - a.right(), a.left() - b.right()});
    const qint64 dy = std::max({0, b.top() - a.bottom(), a.top() - b.bottom()});
    return dx * dx + dy * dy;
}

} // namespace

int NearestScreen(const QRect& rect, const QList<TScreen>& screens) {
    int best = -1;
    qint64 bestArea = 0;
    for (int i = 0; i < screens.size(); ++i) {
        const qint64 area = Area(rect.intersected(screens[i].Geometry));
        if (area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    if (best >= 0)
        return best;
    qint64 bestDistance = LLONG_MAX;
    for (int i = 0; i < screens.size(); ++i) {
        const qint64 distance = Distance(rect, screens[i].Geometry);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

int PrimaryScreen(const QList<TScreen>& screens) {
    for (int i = 0; i < screens.size(); ++i)
        if (screens[i].Primary)
            return i;
    return 0;
}

QRect DefaultPlace(const QList<TScreen>& screens) {
    const QRect screen = screens.isEmpty() ? QRect(0, 0, 1024, 768)
                                           : screens[PrimaryScreen(screens)].Geometry;
    return QRect(DefaultInset, DefaultInset, screen.width() - 2 * DefaultInset,
                 screen.height() - 2 * DefaultInset);
}

namespace {

// Whether a work area holds a caption-high square of the caption.
bool CaptionReachable(const QRect& caption, const QRect& work) {
    const QRect shown = caption.intersected(work);
    return shown.height() == caption.height() && shown.width() >= caption.height();
}

// The window moved the least way so that its caption lies on the work area.
QRect CaptionOnto(const QRect& window, int captionHeight, const QRect& work) {
    const int top = std::clamp(window.top(), work.top(), work.bottom() + 1 - captionHeight);
    const int left = std::clamp(window.left(), work.left() + captionHeight - window.width(),
                                work.right() + 1 - captionHeight);
    return QRect(QPoint(left, top), window.size());
}

} // namespace

QRect RestoredPlace(const QRect& stored, const QList<TScreen>& screens, int captionHeight) {
    if (screens.isEmpty())
        return stored;
    const QRect caption(stored.topLeft(), QSize(stored.width(), captionHeight));
    for (const TScreen& screen : screens)
        if (CaptionReachable(caption, screen.WorkArea))
            return stored;
    const int nearest = NearestScreen(stored, screens);
    if (stored.intersects(screens[nearest].Geometry))
        return CaptionOnto(stored, captionHeight, screens[nearest].WorkArea);
    const QRect work = screens[PrimaryScreen(screens)].WorkArea;
    const QSize room = work.size() - QSize(2 * DefaultInset, 2 * DefaultInset);
    return QRect(work.topLeft() + QPoint(DefaultInset, DefaultInset), stored.size().boundedTo(room));
}

TPlaceToStore PlaceToStore(bool maximized, const QRect& window, const QRect& stored,
                           const QList<TScreen>& screens) {
    TPlaceToStore place;
    place.Maximized = maximized;
    if (!maximized) {
        place.LeftTop = window.topLeft();
        place.Size = window.size();
        return place;
    }
    const int windowScreen = NearestScreen(window, screens);
    const int storedScreen = NearestScreen(stored, screens);
    if (windowScreen >= 0 && storedScreen >= 0 && windowScreen != storedScreen) {
        const QRect to = screens[windowScreen].Geometry;
        const QRect from = screens[storedScreen].Geometry;
        place.LeftTop = to.topLeft() + stored.topLeft() - from.topLeft();
    }
    return place;
}

QRect FitToWorkArea(const TScreen& screen) {
    const int b = FitBorder;
    if (!screen.Primary)
        return screen.Geometry.adjusted(-b, -b, b, b);
    const QRect work = screen.WorkArea;
    const int panel = screen.Geometry.height() - work.height();
    const int height = work.height() + (panel > 3 ? b : b - 1);
    return QRect(work.left() - b, work.top() - b, work.width() + 2 * b, height);
}

} // namespace qbPlacement

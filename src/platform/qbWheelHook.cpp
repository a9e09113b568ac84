#include "platform/qbWheelHook.h"

bool TqbWheelHook::IsGesture(const QPoint& cursor, const QSize& screen) {
    return cursor.y() < GestureRows && cursor.x() > screen.width() / 2;
}

void TqbWheelHook::Report(const QPoint& cursor, const QSize& screen) {
    emit Wheel(cursor, screen);
    if (IsGesture(cursor, screen))
        emit Gesture();
}

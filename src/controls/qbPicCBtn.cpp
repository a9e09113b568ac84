#include "controls/qbPicCBtn.h"

#include <QMouseEvent>

TqbPictureCButton::TqbPictureCButton(QWidget* parent) : TqbDrawnButton(parent) {}

void TqbPictureCButton::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && !IsHit(at.x(), at.y())) {
        // Swallowed: the window beneath must not take it for a press of its own.
        event->accept();
        return;
    }
    TqbDrawnButton::mousePressEvent(event);
}

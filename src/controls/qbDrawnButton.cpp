#include "controls/qbDrawnButton.h"

#include "controls/qbOffscreen.h"

#include <QMetaMethod>
#include <QPainter>

TqbDrawnButton::TqbDrawnButton(QWidget* parent) : TqbHotButton<QPushButton>(parent) {}

void TqbDrawnButton::OwnerDrawChanged() {
    // A drawn face covers the whole button: nothing beneath needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent, IsOwnerDrawn() && IsOpaque());
    update();
}

void TqbDrawnButton::DrawFace(QPainter& painter) const {
    painter.setFont(font());
    DrawButton(painter, isDown());
}

QImage TqbDrawnButton::Render() const {
    return qbOffscreen::Render(size(), 1.0, [this](QPainter& p) { DrawFace(p); });
}

void TqbDrawnButton::paintEvent(QPaintEvent* event) {
    if (!IsOwnerDrawn()) {
        QPushButton::paintEvent(event);
        return;
    }
    qbOffscreen::Paint(*this, [this](QPainter& p) { DrawFace(p); });
}

bool TqbDrawnButton::DoubleClicked() {
    if (!isSignalConnected(QMetaMethod::fromSignal(&TqbDrawnButton::DblClick)))
        return false;
    emit DblClick();
    return true;
}

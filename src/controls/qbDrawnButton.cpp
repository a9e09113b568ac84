#include "controls/qbDrawnButton.h"

#include "controls/qbOffscreen.h"

#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>

TqbDrawnButton::TqbDrawnButton(QWidget* parent) : QPushButton(parent) {}

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

void TqbDrawnButton::enterEvent(QEnterEvent* event) {
    QPushButton::enterEvent(event);
    m_hot = true;
    update();
}

void TqbDrawnButton::leaveEvent(QEvent* event) {
    QPushButton::leaveEvent(event);
    m_hot = false;
    update();
}

void TqbDrawnButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (isSignalConnected(QMetaMethod::fromSignal(&TqbDrawnButton::DblClick))) {
        emit DblClick();
        event->accept();
        return;
    }
    mousePressEvent(event);
}

void TqbDrawnButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::EnabledChange)
        update();
}

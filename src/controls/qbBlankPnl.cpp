#include "controls/qbBlankPnl.h"

#include <QMouseEvent>
#include <QPainter>

TqbBlankPanel::TqbBlankPanel(QWidget* parent) : QWidget(parent) {}

void TqbBlankPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    emit Paint(painter);
}

void TqbBlankPanel::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    emit MouseDown(event->button(), event->position().toPoint());
}

void TqbBlankPanel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit Click();
}

void TqbBlankPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit DblClick();
}

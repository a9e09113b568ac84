#include "controls/qbColorPanel.h"

#include "controls/qbColorPalette.h"
#include "controls/qbOffscreen.h"

#include <QPainter>

TqbColorPanel::TqbColorPanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TqbColorPanel::SetCaption(const QString& caption) {
    m_caption = caption;
    update();
}

void TqbColorPanel::SetAlignment(Qt::Alignment alignment) {
    m_alignment = alignment;
    update();
}

QColor TqbColorPanel::Color() const {
    return m_color.isValid() ? m_color : palette().color(QPalette::Window);
}

void TqbColorPanel::SetColor(const QColor& color) {
    m_color = color;
    update();
}

void TqbColorPanel::SetBorderWidth(int width) {
    m_borderWidth = width;
    update();
}

void TqbColorPanel::SetBorderThick(int thick) {
    m_borderThick = thick;
    update();
}

void TqbColorPanel::SetSide(int side, int color) {
    m_sides[side] = color;
    update();
}

void TqbColorPanel::SetAllSides(int color) {
    for (int& side : m_sides)
        side = color;
    update();
}

std::vector<TqbColorPanel::TLine> TqbColorPanel::SideLines(QSize size, int thick,
                                                           const int (&sides)[4]) {
    const int w = size.width();
    const int h = size.height();
    const int t = std::max(thick, 0);
    // Each line runs as far as a one-pixel line would (its end point left out) and grows
    // inwards, so a thick line shows its whole width.
    const QRect areas[4] = {
        QRect(0, 0, t, h),
        QRect(0, 0, w, t),
        QRect(w - t, 0, t, h - 1),
        QRect(0, h - t, w, t),
    };
    std::vector<TLine> lines;
    for (int i = 0; i < 4; ++i)
        if (sides[i] != NoLine && t > 0)
            lines.push_back({areas[i], sides[i]});
    return lines;
}

void TqbColorPanel::Draw(QPainter& painter) const {
    painter.fillRect(rect(), Color());
    if (!m_caption.isEmpty()) {
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        const QRect area = rect().adjusted(m_borderWidth, m_borderWidth, -m_borderWidth,
                                           -m_borderWidth);
        painter.drawText(area, int(m_alignment) | Qt::TextSingleLine, m_caption);
    }
    for (const TLine& line : SideLines(size(), m_borderThick, m_sides))
        painter.fillRect(line.Area, qbColorPalette::FromColorRef(line.Color));
}

QImage TqbColorPanel::Render() const {
    return qbOffscreen::Render(size(), 1.0, [this](QPainter& p) { Draw(p); });
}

void TqbColorPanel::paintEvent(QPaintEvent*) {
    qbOffscreen::Paint(*this, [this](QPainter& p) { Draw(p); });
}

void TqbColorPanel::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    emit MouseEnter(this);
}

void TqbColorPanel::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    emit MouseLeave(this);
}

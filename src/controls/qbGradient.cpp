#include "controls/qbGradient.h"

#include "controls/qbColorPalette.h"
#include "controls/qbGradiClrs.h"
#include "controls/qbPixelDraw.h"

#include <QPainter>

#include <algorithm>

namespace qbGradient {

namespace {

// A line along x (or along y when `vertical`) at position `at` of the other axis.
TLine Across(bool vertical, int at, int from, int to, int color) {
    if (vertical)
        return {QPoint(at, from), QPoint(at, to), color};
    return {QPoint(from, at), QPoint(to, at), color};
}

} // namespace

TChannels::TChannels(int begin, int end, int length) {
    const QColor b = ToColor(begin);
    const QColor e = ToColor(end);
    const int from[3] = {b.red(), b.green(), b.blue()};
    const int to[3] = {e.red(), e.green(), e.blue()};
    for (int i = 0; i < 3; ++i) {
        m_value[i] = from[i];
        m_step[i] = length != 0 ? float(to[i] - from[i]) / float(length) : 0.0f;
    }
}

int TChannels::Color() const {
    return m_value[0] | (m_value[1] << 8) | (m_value[2] << 16);
}

void TChannels::Advance(int steps) {
    for (int i = 0; i < 3; ++i) {
        const float next = float(m_value[i]) + float(steps) * m_step[i];
        m_value[i] = std::clamp(int(next), 0, 255);
    }
}

QColor ToColor(int color) {
    if ((unsigned(color) & 0xFF000000u) == unsigned(qbColorPalette::SystemColorFlag))
        color = qbColorPalette::SystemColorValue(color);
    return qbColorPalette::FromColorRef(color & 0xFFFFFF);
}

std::vector<TLine> GradientLines(QSize size, int round, bool vertical, int begin, int end) {
    // Along the gradient: rows (or columns) 1..length; across: the full extent.
    const int length = vertical ? size.width() : size.height();
    const int across = vertical ? size.height() : size.width();
    const int r = round;
    TChannels ch(begin, end, length);
    std::vector<TLine> lines;
    auto line = [&](int at, int from, int to) {
        lines.push_back(Across(vertical, at, from, to, ch.Color()));
        ch.Advance();
    };
    for (int i = 1; i <= r; ++i)
        line(i, r - i, across - r + i);
    for (int i = r + 1; i <= length - r - 1; ++i)
        line(i, 0, across);
    for (int i = length - r; i <= length; ++i)
        line(i, r - (length - i), across - r + (length - i));
    return lines;
}

std::vector<TLine> EdgeLines(QSize size, int round, int bright, int shadow) {
    const int w = size.width();
    const int h = size.height();
    const int r = round;
    return {
        {QPoint(r, 1), QPoint(w - r, 1), bright},
        {QPoint(1, r), QPoint(1, h - r), bright},
        {QPoint(1, r), QPoint(r, 1), bright},
        {QPoint(w - 2, r), QPoint(w - 2, h - r), shadow},
        {QPoint(r, h - 2), QPoint(w - r, h - 2), shadow},
        {QPoint(w - r, h - 2), QPoint(w - 1, h - r - 1), shadow},
    };
}

std::vector<TLine> FaceLines(QSize size, int begin, int end) {
    const int w = size.width();
    const int h = size.height();
    TChannels ch(begin, end, 3);
    std::vector<TLine> lines;
    auto add = [&](QPoint from, QPoint to) { lines.push_back({from, to, ch.Color()}); };
    add(QPoint(2, 2), QPoint(w, 2));
    ch.Advance();
    add(QPoint(2, 3), QPoint(w, 3));
    ch.Advance();
    for (int y = 4; y < h - 4; ++y) // the filled rectangle (2, 4)-(w, h - 4)
        add(QPoint(2, y), QPoint(w, y));
    ch.Advance();
    add(QPoint(2, h - 4), QPoint(w - 3, h - 4));
    ch.Advance();
    add(QPoint(2, h - 3), QPoint(w - 3, h - 3));
    add(QPoint(w - 3, h - 3), QPoint(w - 3, 3));
    return lines;
}

std::vector<TLine> FaceEdgeLines(QSize size, int bright, int shadow) {
    const int w = size.width();
    const int h = size.height();
    return {
        {QPoint(1, h - 2), QPoint(1, 2), bright},
        {QPoint(1, 2), QPoint(2, 1), bright},
        {QPoint(2, 1), QPoint(w - 2, 1), bright},
        {QPoint(2, h - 2), QPoint(w - 3, h - 2), shadow},
        {QPoint(w - 2, h - 4), QPoint(w - 2, 2), shadow},
        {QPoint(w - 3, h - 2), QPoint(w - 1, h - 4), shadow},
    };
}

std::vector<TLine> GlowLines(QSize size, int begin, int end) {
    const int w = size.width();
    const int h = size.height();
    TChannels ch(begin, end, h);
    std::vector<TLine> lines;
    lines.push_back({QPoint(1, 1), QPoint(w - 1, 1), ch.Color()});
    ch.Advance(16);
    for (int y = 2; y <= h - 3; ++y) {
        lines.push_back({QPoint(0, y), QPoint(w, y), ch.Color()});
        ch.Advance();
    }
    ch.Advance(32);
    lines.push_back({QPoint(1, h - 2), QPoint(w - 1, h - 2), ch.Color()});
    return lines;
}

TMark MarkTriangle(int width) {
    // Corners (w - 11, 3), (w - 4, 3), (w - 4, 10): a right angle at the top right.
    const QPoint a(width - 11, 3), b(width - 4, 3), c(width - 4, 10);
    TMark mark;
    for (const auto& [from, to] : {std::pair{a, b}, std::pair{b, c}, std::pair{c, a}})
        for (const QPoint& p : qbPixelDraw::LinePixels(from, to))
            mark.Outline.push_back(p);
    for (int y = a.y() + 1; y < c.y(); ++y)
        for (int x = a.x() + (y - a.y()) + 1; x < b.x(); ++x)
            mark.Inside.emplace_back(x, y);
    return mark;
}

QString CaptionText(const QString& caption) {
    QString text = caption;
    const qsizetype amp = text.indexOf(u'&');
    if (amp >= 0)
        text.remove(amp, 1);
    return text;
}

void DrawLines(QPainter& painter, const std::vector<TLine>& lines) {
    for (const TLine& line : lines)
        qbPixelDraw::DrawLine(painter, line.From, line.To, ToColor(line.Color));
}

void DrawGradient(QPainter& painter, QSize size, int round, bool vertical,
                  const TqbGradiColors& colors, int begin, int end) {
    DrawLines(painter, GradientLines(size, round, vertical, begin, end));
    qbPixelDraw::RoundRect(painter, QRect(QPoint(0, 0), size), QSize(2 * round, 2 * round),
                           ToColor(colors.clrOutBorder), QColor());
    DrawLines(painter, EdgeLines(size, round, colors.clrOutBright, colors.clrOutShadow));
}

void DrawFlatFace(QPainter& painter, QSize size, int round, const QColor& pen, const QColor& face) {
    qbPixelDraw::RoundRect(painter, QRect(QPoint(0, 0), size), QSize(2 * round, 2 * round), pen,
                           face);
}

void DrawMark(QPainter& painter, int width, const TqbGradiColors& colors) {
    const TMark mark = MarkTriangle(width);
    qbPixelDraw::DrawPixels(painter, mark.Inside, ToColor(colors.clrMarkFace));
    qbPixelDraw::DrawPixels(painter, mark.Outline, ToColor(colors.clrMarkBorder));
}

void DrawCaption(QPainter& painter, QSize size, const QString& text, int capX, int capY,
                 bool shift, const QColor& color, int rotate) {
    const QFontMetrics metrics(painter.font());
    QPoint corner(capX, capY);
    if (capX < 0) // centred as a level line would be, also when turned
        corner = QPoint(1 + (size.width() - metrics.horizontalAdvance(text)) / 2,
                        1 + (size.height() - metrics.height()) / 2);
    if (shift)
        corner.rx() += 1;
    painter.save();
    painter.setPen(color);
    painter.translate(corner);
    if (rotate > 0)
        painter.rotate(-rotate / 10.0);
    painter.drawText(QPoint(0, metrics.ascent()), text);
    painter.restore();
}

} // namespace qbGradient

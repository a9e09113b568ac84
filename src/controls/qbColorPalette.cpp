#include "controls/qbColorPalette.h"

#include <QGuiApplication>
#include <QPalette>
#include <QtMath>
#include <array>
#include <cmath>

namespace qbColorPalette {

namespace {

constexpr int Rgb(int r, int g, int b) {
    return r | (g << 8) | (b << 16);
}

const std::array<TNamedColor, GridColorCount> GridColors = {{
    {"Black", Rgb(0, 0, 0)},
    {"Brown", Rgb(153, 51, 0)},
    {"Olive Green", Rgb(51, 51, 0)},
    {"Dark Green", Rgb(0, 51, 0)},
    {"Dark Teal", Rgb(0, 51, 102)},
    {"Dark blue", Rgb(0, 0, 128)},
    {"Indigo", Rgb(51, 51, 153)},
    {"Gray-80%", Rgb(51, 51, 51)},
    {"Dark Red", Rgb(128, 0, 0)},
    {"Orange", Rgb(255, 102, 0)},
    {"Dark Yellow", Rgb(128, 128, 0)},
    {"Green", Rgb(0, 128, 0)},
    {"Teal", Rgb(0, 128, 128)},
    {"Blue", Rgb(0, 0, 255)},
    {"Blue-Gray", Rgb(102, 102, 153)},
    {"Gray-50%", Rgb(128, 128, 128)},
    {"Red", Rgb(255, 0, 0)},
    {"Light Orange", Rgb(255, 153, 0)},
    {"Lime", Rgb(153, 204, 0)},
    {"Sea Green", Rgb(51, 153, 102)},
    {"Aqua", Rgb(51, 204, 204)},
    {"Light Blue", Rgb(51, 102, 255)},
    {"Violet", Rgb(128, 0, 128)},
    {"Grey-40%", Rgb(150, 150, 150)},
    {"Pink", Rgb(255, 0, 255)},
    {"Gold", Rgb(255, 204, 0)},
    {"Yellow", Rgb(255, 255, 0)},
    {"Bright Green", Rgb(0, 255, 0)},
    {"Turquoise", Rgb(0, 255, 255)},
    {"Sky Blue", Rgb(0, 204, 255)},
    {"Plum", Rgb(153, 51, 102)},
    {"Gray-25%", Rgb(192, 192, 192)},
    {"Rose", Rgb(255, 153, 204)},
    {"Tan", Rgb(255, 204, 153)},
    {"Light Yellow", Rgb(255, 255, 153)},
    {"Light Green", Rgb(204, 255, 204)},
    {"Light Turquoise", Rgb(204, 255, 255)},
    {"Pale Blue", Rgb(153, 204, 255)},
    {"Lavender", Rgb(204, 153, 255)},
    {"White", Rgb(255, 255, 255)},
}};

const char* const SystemElementNames[SystemColorCount] = {"scroll bar",
                                                          "background",
                                                          "active caption",
                                                          "inactive caption",
                                                          "menu",
                                                          "window",
                                                          "window frame",
                                                          "menu text",
                                                          "window text",
                                                          "caption text",
                                                          "active border",
                                                          "inactive border",
                                                          "application workspace",
                                                          "highlight",
                                                          "highlight text",
                                                          "button face",
                                                          "button shadow",
                                                          "gray text",
                                                          "button text",
                                                          "inactive caption text",
                                                          "button highlight",
                                                          "3D dark shadow",
                                                          "3D light",
                                                          "info text",
                                                          "info background"};

// The nearest palette role for each system colour index.
const QPalette::ColorRole SystemRoles[SystemColorCount] = {QPalette::Button,
                                                           QPalette::Window,
                                                           QPalette::Highlight,
                                                           QPalette::Mid,
                                                           QPalette::Window,
                                                           QPalette::Base,
                                                           QPalette::Shadow,
                                                           QPalette::WindowText,
                                                           QPalette::Text,
                                                           QPalette::HighlightedText,
                                                           QPalette::Button,
                                                           QPalette::Button,
                                                           QPalette::Dark,
                                                           QPalette::Highlight,
                                                           QPalette::HighlightedText,
                                                           QPalette::Button,
                                                           QPalette::Dark,
                                                           QPalette::PlaceholderText,
                                                           QPalette::ButtonText,
                                                           QPalette::WindowText,
                                                           QPalette::Light,
                                                           QPalette::Shadow,
                                                           QPalette::Midlight,
                                                           QPalette::ToolTipText,
                                                           QPalette::ToolTipBase};

struct TRgbF {
    double R, G, B;
};

TRgbF Lerp(const TRgbF& a, const TRgbF& b, double t) {
    return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}

int ToColor(const TRgbF& c) {
    return Rgb(qRound(c.R * 255), qRound(c.G * 255), qRound(c.B * 255));
}

int RgbOf(int color) {
    return color & 0xFFFFFF;
}

bool IsSystemColor(int color) {
    return (color & SystemColorFlag) && (color & 0x7FFFFF00) == 0 &&
           (color & 0xFF) < SystemColorCount;
}

} // namespace

const TNamedColor& GridColor(int index) {
    return GridColors.at(index);
}

QString SystemColorName(int index) {
    return QStringLiteral("system color: ") + QLatin1String(SystemElementNames[index]);
}

int SystemColorValue(int systemColor) {
    return ToColorRef(QGuiApplication::palette().color(SystemRoles[systemColor & 0xFF]));
}

int ToColorRef(const QColor& color) {
    return Rgb(color.red(), color.green(), color.blue());
}

QColor FromColorRef(int color) {
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

std::vector<QPointF> Hexagon(QPointF center, double size) {
    std::vector<QPointF> corners;
    for (int angle : {90, 30, -30, -90, -150, 150}) {
        const double a = qDegreesToRadians(double(angle));
        corners.push_back(center + QPointF(std::cos(a), -std::sin(a)) * (size / 2));
    }
    return corners;
}

std::vector<TCell> CombCells(double intensity) {
    const QPointF centre(CombHalfSize, CombHalfSize);
    const double reach = CombHalfSize * std::cos(qDegreesToRadians(30.0));
    const std::vector<QPointF> directions = Hexagon({0, 0}, 2);
    const TRgbF corners[6] = {{1, 0, 1}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}};
    const TRgbF middle{intensity, intensity, intensity};

    std::vector<TCell> cells;
    cells.reserve(CombCellCount);
    cells.push_back({centre, ToColor(middle)});
    for (int s = 0; s < 6; ++s) {
        const int next = (s + 1) % 6;
        for (int n = 1; n <= 6; ++n) {
            const double ring = n / 6.0;
            const QPointF from = centre + directions[s] * reach * ring;
            const QPointF to = centre + directions[next] * reach * ring;
            const TRgbF fromColor = Lerp(middle, corners[s], ring);
            const TRgbF toColor = Lerp(middle, corners[next], ring);
            for (int j = 0; j < n; ++j) {
                const double t = double(j) / n;
                cells.push_back({from + (to - from) * t, ToColor(Lerp(fromColor, toColor, t))});
            }
        }
    }
    return cells;
}

bool IsLargeGreyCell(int index) {
    return index == 0 || index == GreyCellCount - 1;
}

std::vector<TCell> GreyCells() {
    const int step = qRound(0.5 * HexSize * std::cos(qDegreesToRadians(30.0)));
    const int top = (HexSize / 4) * 3;
    const int zig = qRound(1.5 * HexSize / 2);
    std::vector<TCell> cells;
    cells.push_back({QPointF(HexSize, HexSize), Rgb(255, 255, 255)});
    for (int i = 1; i <= 15; ++i) {
        const int k = i - 1;
        const int level = 15 * (16 - i);
        cells.push_back({QPointF(3 * HexSize + k * step, k % 2 == 0 ? top : top + zig),
                         Rgb(level, level, level)});
    }
    cells.push_back({QPointF(16 * step + 3 * HexSize + HexSize, HexSize), Rgb(0, 0, 0)});
    return cells;
}

int HitCombCell(const std::vector<TCell>& cells, QPointF point) {
    for (int i = 0; i < int(cells.size()); ++i)
        if (QLineF(cells[i].Center, point).length() <= HexSize / 2)
            return i;
    return -1;
}

int HitGreyCell(const std::vector<TCell>& cells, QPointF point) {
    for (int i = 0; i < int(cells.size()); ++i) {
        const int reach = IsLargeGreyCell(i) ? HexSize : HexSize / 2;
        if (QLineF(cells[i].Center, point).length() <= reach)
            return i;
    }
    return -1;
}

TPaletteLayout::TPaletteLayout(const TLayoutOptions& options) : m_options(options) {
    const int e = options.Edge;
    const int m = qMax(0, options.Spacing);
    m_options.Spacing = m;
    const int textWidth = options.TextSize.width() + 2 * e;
    const int textHeight = options.TextSize.height() + 4 * e + 2;
    const int rows = (GridColorCount + Columns - 1) / Columns;

    m_width = Columns * CellSize + 2 * e + 2 * m;
    m_height = rows * CellSize + 4 * e;
    m_gridTop = 2 * e;
    if (options.ShowDefault || options.ShowCustom)
        m_width = qMax(m_width, textWidth + 2 * (e + m));
    const auto itemRect = [&](int top) {
        return QRect(QPoint(e + m, top),
                     QPoint(e + (m_width - 2 * e) - m - 1, top + textHeight - 1));
    };
    if (options.ShowDefault) {
        m_defaultRect = itemRect(2 * e);
        m_height += textHeight + 2 * e;
        m_gridTop += textHeight + 2 * e;
    }
    int bottom = m_gridTop + rows * CellSize;
    if (options.ShowSystemColors) {
        const int systemRows = SystemColorCount / Columns + (SystemColorCount % Columns ? 1 : 0);
        m_systemTop = bottom + 3 * e;
        bottom = m_systemTop + systemRows * CellSize;
        m_height = bottom + 2 * e;
    }
    if (options.ShowCustom) {
        m_customRect = itemRect(bottom + 2 * e);
        m_customSwatch = QRect(m_customRect.right() + 1 - CellSize,
                               m_customRect.top() + (textHeight - CellSize) / 2, CellSize, CellSize)
                             .adjusted(e + 1, e + 1, -(e + 1), -(e + 1));
        m_height = m_customRect.bottom() + 1 + 2 * e;
        const int combTop = m_height;
        m_combRect = QRect(e + m, combTop, 2 * CombHalfSize, 2 * CombHalfSize);
        const int greyRight =
            6 * HexSize + qRound(std::cos(qDegreesToRadians(30.0)) * 17 * HexSize / 2);
        m_greyRect =
            QRect(QPoint(m_combRect.left(), m_combRect.bottom() + 1 - 4),
                  QPoint(m_combRect.left() + greyRight - 1, m_combRect.bottom() + 2 * HexSize));
        m_sliderRect = QRect(m_combRect.right() + 3, m_combRect.top() + HexSize, SliderWidth,
                             2 * CombHalfSize - 2 * HexSize);
        m_width = qMax(m_width, m_sliderRect.right() + 1 + e + 2);
        m_fullHeight = m_greyRect.bottom() + 1 + 2 * e;
    } else {
        m_fullHeight = m_height;
    }
}

int TPaletteLayout::LastCell() const {
    return m_options.ShowSystemColors ? GridColorCount + SystemColorCount - 1 : GridColorCount - 1;
}

QRect TPaletteLayout::CellRect(int index) const {
    const int e = m_options.Edge;
    const int m = m_options.Spacing;
    if (index < 0 || index > LastCell())
        return {};
    const bool system = index >= GridColorCount;
    const int c = system ? index - GridColorCount : index;
    const int top = system ? m_systemTop : m_gridTop;
    return QRect(c % Columns * CellSize + e + m, c / Columns * CellSize + top, CellSize, CellSize);
}

int TPaletteLayout::HitItem(QPoint point) const {
    if (m_options.ShowCustom && m_customRect.contains(point))
        return CustomItem;
    if (m_options.ShowDefault && m_defaultRect.contains(point))
        return DefaultItem;
    for (int i = 0; i <= LastCell(); ++i)
        if (CellRect(i).contains(point))
            return i;
    return NoItem;
}

int TPaletteLayout::Navigate(int key, int from) const {
    const bool hasDefault = m_options.ShowDefault;
    const bool hasCustom = m_options.ShowCustom;
    const int last = LastCell();
    const auto beforeFirst = [&] {
        return hasDefault ? DefaultItem : hasCustom ? CustomItem : last;
    };
    const auto afterLast = [&] { return hasCustom ? CustomItem : hasDefault ? DefaultItem : 0; };
    if (from == NoItem)
        from = 0;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        if (from == DefaultItem)
            return hasCustom ? CustomItem : last;
        if (from == CustomItem)
            return last;
        if (key == Qt::Key_Left)
            return from == 0 ? beforeFirst() : from - 1;
        return from < Columns ? beforeFirst() : from - Columns;
    case Qt::Key_Right:
    case Qt::Key_Down:
        if (from == DefaultItem)
            return 0;
        if (from == CustomItem)
            return hasDefault ? DefaultItem : 0;
        if (key == Qt::Key_Right)
            return from >= last ? afterLast() : from + 1;
        return from + Columns > last ? afterLast() : from + Columns;
    default:
        return from;
    }
}

TMatch MatchColor(int color, bool systemColors, const std::vector<TCell>& comb,
                  const std::vector<TCell>& greys) {
    if (color == NoColor)
        return {};
    if (color == DefaultColor)
        return {DefaultItem, 0};
    if (IsSystemColor(color))
        return systemColors ? TMatch{GridColorCount + (color & 0xFF), 0} : TMatch{};
    const int rgb = RgbOf(color);
    for (int i = 0; i < GridColorCount; ++i)
        if (GridColors[i].Color == rgb)
            return {i, 0};
    if (systemColors)
        for (int i = 0; i < SystemColorCount; ++i)
            if (SystemColorValue(SystemColorFlag | i) == rgb)
                return {GridColorCount + i, 0};
    for (int i = 0; i < int(greys.size()); ++i)
        if (greys[i].Color == rgb)
            return {CustomItem, -i - 1};
    for (int i = 0; i < int(comb.size()); ++i)
        if (comb[i].Color == rgb)
            return {CustomItem, i + 1};
    return {};
}

double IntensityAt(const QRect& slider, int y) {
    const double span = slider.bottom() - slider.top();
    if (span <= 0)
        return 1;
    return qBound(0.0, 1 - (y - slider.top()) / span, 1.0);
}

QPoint PlacePopup(const QRect& button, const QSize& popup, const QRect& screen) {
    QPoint place(button.left() - 1, button.bottom() + 1);
    if (place.y() + popup.height() > screen.bottom() + 1) {
        place.setY(screen.bottom() + 1 - popup.height());
        if (place.y() < button.top())
            place.setY(button.top() - popup.height());
    }
    if (place.x() + popup.width() > screen.right() + 1)
        place.setX(screen.right() + 1 - popup.width());
    if (place.x() < screen.left())
        place.setX(screen.left());
    return place;
}

} // namespace qbColorPalette

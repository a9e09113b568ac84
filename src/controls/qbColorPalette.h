#pragma once

#include <QColor>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

// The colour palette's geometry and rules, apart from any widget so that they can be checked
// without a screen. Colours are Windows colour integers (0x00BBGGRR) unless named QRgb.
namespace qbColorPalette {

inline constexpr int CellSize = 18;
inline constexpr int Columns = 8;
inline constexpr int GridColorCount = 40;
inline constexpr int SystemColorCount = 25;
inline constexpr int CombHalfSize = 63; // 8 * 18 * 7 / 16
inline constexpr int HexSize = 11;      // 63 / 6 + 0.5
inline constexpr int CombCellCount = 127;
inline constexpr int GreyCellCount = 17;
inline constexpr int SliderWidth = 20;

// Item indices: the grid is 0..39, system colours 40..64.
inline constexpr int DefaultItem = -3;
inline constexpr int CustomItem = -2;
inline constexpr int NoItem = -1;

// Colour values that select nothing and the default item.
inline constexpr int NoColor = 0x1FFFFFFF;
inline constexpr int DefaultColor = 0x20000000;
// A system colour: this flag with the system colour index in the low byte.
inline constexpr int SystemColorFlag = int(0x80000000u);

struct TNamedColor {
    const char* Name;
    int Color;
};
const TNamedColor& GridColor(int index);
QString SystemColorName(int index);
// The current RGB of a system colour, from the application's palette.
int SystemColorValue(int systemColor);

int ToColorRef(const QColor& color);
QColor FromColorRef(int color);

struct TCell {
    QPointF Center;
    int Color;
};
// The honeycomb, relative to the top-left corner of its square, centre colour white * intensity.
std::vector<TCell> CombCells(double intensity);
// The grey row, relative to the grey row's rectangle; cells 0 and 16 are large.
std::vector<TCell> GreyCells();
bool IsLargeGreyCell(int index);
// The hexagon's corners around a centre.
std::vector<QPointF> Hexagon(QPointF center, double size);
int HitCombCell(const std::vector<TCell>& cells, QPointF point);
int HitGreyCell(const std::vector<TCell>& cells, QPointF point);

struct TLayoutOptions {
    int Edge = 2;    // the 3-D edge width
    int Spacing = 8; // left and right margin
    bool ShowDefault = false;
    bool ShowCustom = false;
    bool ShowSystemColors = false;
    QSize TextSize; // the larger extent of the two item texts
};

// Where everything of the palette lies, in palette coordinates.
class TPaletteLayout {
public:
    explicit TPaletteLayout(const TLayoutOptions& options = {});

    const TLayoutOptions& Options() const { return m_options; }
    int Width() const { return m_width; }
    // Without and with the custom section.
    int Height() const { return m_height; }
    int FullHeight() const { return m_fullHeight; }

    QRect DefaultRect() const { return m_defaultRect; }
    QRect CustomRect() const { return m_customRect; }
    QRect CustomSwatch() const { return m_customSwatch; }
    QRect CombRect() const { return m_combRect; }
    QRect GreyRect() const { return m_greyRect; }
    QRect SliderRect() const { return m_sliderRect; }
    int SystemTop() const { return m_systemTop; }

    int LastCell() const;
    QRect CellRect(int index) const;
    // The item under a point: a cell, DefaultItem, CustomItem or NoItem.
    int HitItem(QPoint point) const;
    // The item a navigation key leads to from `from` (NoItem starts at the first cell).
    int Navigate(int key, int from) const;

private:
    TLayoutOptions m_options;
    int m_width = 0;
    int m_height = 0;
    int m_fullHeight = 0;
    int m_gridTop = 0;
    int m_systemTop = 0;
    QRect m_defaultRect;
    QRect m_customRect;
    QRect m_customSwatch;
    QRect m_combRect;
    QRect m_greyRect;
    QRect m_sliderRect;
};

// What the palette selects for a colour. Comb is 0 for none, k > 0 for honeycomb cell k - 1,
// k < 0 for grey cell -k - 1.
struct TMatch {
    int Item = NoItem;
    int Comb = 0;
};
TMatch MatchColor(int color, bool systemColors, const std::vector<TCell>& comb,
                  const std::vector<TCell>& greys);

// The intensity for a point on the slider, 0..1.
double IntensityAt(const QRect& slider, int y);
// The palette's top-left corner on the screen for a button at `button`.
QPoint PlacePopup(const QRect& button, const QSize& popup, const QRect& screen);

} // namespace qbColorPalette

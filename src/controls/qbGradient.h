#pragma once

#include <QColor>
#include <QPoint>
#include <QSize>
#include <QString>
#include <vector>

class QPainter;
class TqbGradiColors;
class TqbImageList;

// The faces of the drawn buttons as pure rules: which one-pixel lines in which colours, so
// that a test can check the arithmetic without a window. Colours are Windows colour integers.
namespace qbGradient {

// One-pixel line; `To` is left out.
struct TLine {
    QPoint From;
    QPoint To;
    int Color;
};

// Channel values stay whole numbers between lines; the step is a 32-bit float.
class TChannels {
public:
    TChannels(int begin, int end, int length);
    int Color() const;
    // `steps` steps at once, the channel cut to its integer part and kept within 0..255.
    void Advance(int steps = 1);

private:
    int m_value[3];
    float m_step[3];
};

// A plain colour for a Windows colour, system colours resolved.
QColor ToColor(int color);

// The gradient rows (or columns when `vertical`) from `begin` to `end`, rounded by `round`.
std::vector<TLine> GradientLines(QSize size, int round, bool vertical, int begin, int end);
// The light and the dark inner edge, in drawing order.
std::vector<TLine> EdgeLines(QSize size, int round, int bright, int shadow);
// The three-step face of the glossy button, without its edges and border.
std::vector<TLine> FaceLines(QSize size, int begin, int end);
std::vector<TLine> FaceEdgeLines(QSize size, int bright, int shadow);
// The glow band of the glossy button, before its inner face and border.
std::vector<TLine> GlowLines(QSize size, int begin, int end);

// The mark triangle in the top right corner: its outline and its inside.
struct TMark {
    std::vector<QPoint> Outline;
    std::vector<QPoint> Inside;
};
TMark MarkTriangle(int width);

// The caption as drawn: its first "&" removed, so no accelerator is underlined.
QString CaptionText(const QString& caption);

void DrawLines(QPainter& painter, const std::vector<TLine>& lines);
// The gradient face with its rounded border and both inner edges.
void DrawGradient(QPainter& painter, QSize size, int round, bool vertical,
                  const TqbGradiColors& colors, int begin, int end);
// One colour inside a rounded border.
void DrawFlatFace(QPainter& painter, QSize size, int round, const QColor& pen, const QColor& face);
void DrawMark(QPainter& painter, int width, const TqbGradiColors& colors);
// The caption: centred on one line in the face moved one pixel right and down when capX < 0,
// else with its top-left corner at (capX, capY); `shift` moves it one more pixel right. A
// `rotate` above 0 (tenths of a degree) turns it counter-clockwise about that corner.
void DrawCaption(QPainter& painter, QSize size, const QString& text, int capX, int capY,
                 bool shift, const QColor& color, int rotate = 0);

} // namespace qbGradient

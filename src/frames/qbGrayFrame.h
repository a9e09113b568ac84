#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <vector>

class QPainter;

// Registers the pictures of the frames library; the functions that need them call it.
void qbInitFrameResources();

// The dialog frame's picture and the rules that paint a window from it.
namespace qbGrayFrame {

inline constexpr int FrameWidth = 3;
inline constexpr int CaptionHeight = 18;
// Pixels of this colour in the frame are not shown (the rounded corners).
inline constexpr QRgb KeyColor = 0xFF1A0833; // RGB 26, 8, 51

// The built-in 54 x 18 picture.
QImage Bitmap();

enum TCloseState { CloseNormal, CloseHot, ClosePressed };
QRect CloseCell(TCloseState state);
// The caption background, one column stretched over the caption's width.
QRect CaptionColumn();

struct TPiece {
    QRect Source;
    QRect Target;
};
// Edges (top, bottom, left, right), then corners (top-left, top-right, bottom-left,
// bottom-right), for a window of `outer` size; edges are stretched to their target.
std::vector<TPiece> FramePieces(QSize outer);

void DrawFrame(QPainter& painter, const QImage& bitmap, QSize outer);
// The window less the frame's key-coloured pixels: the window's mask.
QRegion VisibleRegion(const QImage& bitmap, QSize outer);

} // namespace qbGrayFrame

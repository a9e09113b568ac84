#pragma once

#include <QImage>
#include <functional>

class QPainter;
class QWidget;

// Every drawn control paints into one off-screen image and puts it on the screen in one
// block, so that a half-drawn face is never seen. Drawing is in device-independent pixels.
namespace qbOffscreen {

using TDraw = std::function<void(QPainter&)>;

// An image of `size` at `dpr` device pixels per pixel, transparent before `draw`.
QImage Render(QSize size, qreal dpr, const TDraw& draw);
// Renders the widget's face at its own scale and copies it onto the widget at (0, 0).
void Paint(QWidget& widget, const TDraw& draw);

} // namespace qbOffscreen

#pragma once
// Looking for painted colours in a picture of a control.

#include <QColor>
#include <QImage>

// A pixel of about this colour: glyph edges are smoothed, their stems are not far off.
inline bool HasPixel(const QImage& image, const QColor& color) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - color.red()) <= 12 && qAbs(c.green() - color.green()) <= 12 &&
                qAbs(c.blue() - color.blue()) <= 12)
                return true;
        }
    return false;
}

#include "frames/qbSkinPaint.h"

#include "controls/qbPixelDraw.h"
#include "frames/qbCaptionCut.h"

#include <QFontMetrics>
#include <QPainter>

namespace qbSkinPaint {

void DrawFrame(QPainter& painter, const QRect& outer, const TqbSkin::TFrameColors& colors) {
    const int x0 = outer.left();
    const int y0 = outer.top();
    const int w = outer.width();
    const int h = outer.height();
    for (int r = 0; r < RingCount; ++r) {
        const QPoint bottomLeft(x0 + r, y0 + h - 1 - r);
        const QPoint topLeft(x0 + r, y0 + r);
        const QPoint topRight(x0 + w - 1 - r, y0 + r);
        const QPoint bottomRight(x0 + w - 1 - r, y0 + h - 1 - r);
        qbPixelDraw::DrawLine(painter, bottomLeft, topLeft, colors[4 * r + 0]);
        qbPixelDraw::DrawLine(painter, topLeft, topRight, colors[4 * r + 1]);
        qbPixelDraw::DrawLine(painter, topRight, bottomRight, colors[4 * r + 2]);
        qbPixelDraw::DrawLine(painter, bottomRight, bottomLeft, colors[4 * r + 3]);
    }
}

void PaintCaption(QPainter& painter, const TqbSkin& skin, const TCaption& caption) {
    const int w = caption.Size.width();
    const int h = caption.Size.height();
    const QImage& bitmap = caption.Active ? skin.ActCaption : skin.InActCaption;
    painter.drawImage(QRect(0, 0, w, h), qbSkin::CaptionColumn(bitmap, h));

    const QFontMetrics metrics(caption.Font);
    const QString text = qbCaptionCut::CutCaption(caption.Text, w - CaptionTextRoom, metrics);
    painter.setFont(caption.Font);
    painter.setPen(caption.Active ? skin.ActTextColor : skin.InActTextColor);
    painter.drawText(CaptionText + QPoint(0, metrics.ascent()), text);

    caption.Icon.paint(&painter, QRect(CaptionIcon, QSize(16, 16)));
}

} // namespace qbSkinPaint

#include "frames/qbGrayFrame.h"

#include <QPainter>

void qbInitFrameResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(qbFrames);
        return true;
    }();
    Q_UNUSED(done);
}

namespace qbGrayFrame {

QImage Bitmap() {
    static const QImage bitmap = [] {
        qbInitFrameResources();
        return QImage(QStringLiteral(":/frames/BMP_GRAY_DIALOG.xpm"))
            .convertToFormat(QImage::Format_RGB32);
    }();
    return bitmap;
}

QRect CloseCell(TCloseState state) {
    return QRect(16 * int(state), 0, 16, 16);
}

QRect CaptionColumn() {
    return QRect(53, 0, 1, CaptionHeight);
}

std::vector<TPiece> FramePieces(QSize outer) {
    const int w = outer.width();
    const int h = outer.height();
    return {
        {QRect(52, 0, 1, 3), QRect(0, 0, w, 3)},
        {QRect(48, 15, 1, 3), QRect(0, h - 3, w, 3)},
        {QRect(48, 5, 3, 1), QRect(0, 0, 3, h)},
        {QRect(50, 14, 3, 1), QRect(w - 3, 0, 3, h)},
        {QRect(48, 0, 5, 4), QRect(0, 0, 5, 4)},
        {QRect(48, 9, 5, 4), QRect(w - 5, 0, 5, 4)},
        {QRect(48, 5, 5, 4), QRect(0, h - 4, 5, 4)},
        {QRect(48, 14, 5, 4), QRect(w - 5, h - 4, 5, 4)},
    };
}

void DrawFrame(QPainter& painter, const QImage& bitmap, QSize outer) {
    for (const TPiece& piece : FramePieces(outer))
        painter.drawImage(piece.Target, bitmap, piece.Source);
}

QRegion VisibleRegion(const QImage& bitmap, QSize outer) {
    QImage frame(outer, QImage::Format_RGB32);
    frame.fill(Qt::white);
    {
        QPainter painter(&frame);
        DrawFrame(painter, bitmap, outer);
    }
    QRegion region(QRect(QPoint(0, 0), outer));
    // Only the corner pieces reach past the straight edges.
    const QRect corners[4] = {QRect(0, 0, 5, 4), QRect(outer.width() - 5, 0, 5, 4),
                              QRect(0, outer.height() - 4, 5, 4),
                              QRect(outer.width() - 5, outer.height() - 4, 5, 4)};
    for (const QRect& corner : corners)
        for (int y = corner.top(); y <= corner.bottom(); ++y)
            for (int x = corner.left(); x <= corner.right(); ++x)
                if (frame.valid(x, y) && frame.pixel(x, y) == KeyColor)
                    region -= QRect(x, y, 1, 1);
    return region;
}

} // namespace qbGrayFrame

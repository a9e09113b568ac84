#include "controls/qbOffscreen.h"

#include <QPainter>
#include <QWidget>

namespace qbOffscreen {

QImage Render(QSize size, qreal dpr, const TDraw& draw) {
    QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    draw(painter);
    return image;
}

void Paint(QWidget& widget, const TDraw& draw) {
    const QImage image = Render(widget.size(), widget.devicePixelRatioF(), draw);
    QPainter painter(&widget);
    painter.drawImage(QPoint(0, 0), image);
}

} // namespace qbOffscreen

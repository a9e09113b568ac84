#include "controls/qbImageList.h"

#include <QPainter>
#include <QPixmap>

TqbImageList::TqbImageList(QSize cellSize, QObject* parent)
    : QObject(parent), m_cellSize(cellSize) {}

void TqbImageList::Clear() {
    m_icons.clear();
    emit Changed();
}

int TqbImageList::Add(const QIcon& icon) {
    m_icons.append(icon);
    emit Changed();
    return Count() - 1;
}

int TqbImageList::Add(const QImage& image) {
    return Add(QIcon(QPixmap::fromImage(image)));
}

void TqbImageList::AddStrip(const QImage& strip, int count) {
    for (int i = 0; i < count; ++i) {
        QImage cell(m_cellSize, QImage::Format_ARGB32);
        cell.fill(Qt::transparent);
        QPainter p(&cell);
        p.drawImage(QPoint(0, 0), strip, QRect(QPoint(i * m_cellSize.width(), 0), m_cellSize));
        p.end();
        m_icons.append(QIcon(QPixmap::fromImage(cell)));
    }
    emit Changed();
}

QImage TqbImageList::Image(int index) const {
    if (index < 0 || index >= Count())
        return {};
    QImage image = m_icons[index].pixmap(m_cellSize, 1.0).toImage();
    if (image.size() != m_cellSize)
        image = image.scaled(m_cellSize);
    return image.convertToFormat(QImage::Format_ARGB32);
}

void TqbImageList::Draw(QPainter& painter, QPoint at, int index, bool grayed) const {
    if (index < 0 || index >= Count())
        return;
    m_icons[index].paint(&painter, QRect(at, m_cellSize), Qt::AlignCenter,
                         grayed ? QIcon::Disabled : QIcon::Normal);
}

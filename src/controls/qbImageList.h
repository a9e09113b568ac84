#pragma once

#include <QIcon>
#include <QImage>
#include <QList>
#include <QObject>
#include <QSize>

class QPainter;

// Pictures of one cell size, drawn by index: the icons of a button, the cells of a strip.
// Buttons hold it by reference and forget it when it is destroyed.
class TqbImageList : public QObject {
    Q_OBJECT
public:
    explicit TqbImageList(QSize cellSize, QObject* parent = nullptr);

    QSize CellSize() const { return m_cellSize; }
    int Count() const { return int(m_icons.size()); }
    void Clear();
    int Add(const QIcon& icon);
    int Add(const QImage& image);
    // Cuts `count` cells side by side from x = 0; cells beyond the strip stay blank.
    void AddStrip(const QImage& strip, int count);

    // The picture at one device pixel per pixel; a null image for an index out of range.
    QImage Image(int index) const;
    // Draws picture `index` with its top-left corner at `at`; nothing for an index out of range.
    void Draw(QPainter& painter, QPoint at, int index, bool grayed = false) const;

signals:
    void Changed();

private:
    QSize m_cellSize;
    QList<QIcon> m_icons;
};

#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>

class QWidget;

// Resizes a caption-less window from its painted edges and from a grip. The window system
// resizes where it can; where it refuses, the window follows the pointer itself.
class TqbFrameResize : public QObject {
    Q_OBJECT
public:
    explicit TqbFrameResize(QWidget* window);

    // A press on the grip drags the window's bottom-right corner.
    void AddGrip(QWidget* grip);
    // The edges are `border` pixels wide; 0 or disabled: they grab nothing.
    void SetBorder(int border, bool enabled);
    // Places the edge strips over the window's border; call after the window's size changed.
    void Layout();
    bool Resizing() const { return m_resizing; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Begin(Qt::Edges edges, QPoint global);
    Qt::Edges EdgesUnder(QWidget* strip, QPoint local) const;

    QWidget* m_window;
    QList<QWidget*> m_strips; // left, top, right, bottom
    QWidget* m_grip = nullptr;
    int m_border = 0;
    bool m_enabled = false;
    bool m_resizing = false;
    Qt::Edges m_edges;
    QPoint m_pressGlobal;
    QRect m_startGeometry;
};

#pragma once

#include <QWidget>

class QPainter;

// A panel that paints nothing itself: whoever listens to Paint draws it, else whatever lies
// beneath shows through.
class TqbBlankPanel : public QWidget {
    Q_OBJECT
public:
    explicit TqbBlankPanel(QWidget* parent = nullptr);

signals:
    void Paint(QPainter& painter);
    void MouseDown(Qt::MouseButton button, QPoint at);
    void Click();
    void DblClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

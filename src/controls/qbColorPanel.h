#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>
#include <vector>

// A panel with a line of its own colour on each side; a side coloured NoLine has none.
// Colours are Windows colour integers (0x00BBGGRR).
class TqbColorPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int NoLine = 0x1FFFFFFF;

    explicit TqbColorPanel(QWidget* parent = nullptr);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment alignment);
    // The face colour; the parent's background until set.
    QColor Color() const;
    void SetColor(const QColor& color);
    // The space between the edge and the caption.
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int width);
    int BorderThick() const { return m_borderThick; }
    void SetBorderThick(int thick);
    int clrLeft() const { return m_sides[0]; }
    void SetclrLeft(int color) { SetSide(0, color); }
    int clrTop() const { return m_sides[1]; }
    void SetclrTop(int color) { SetSide(1, color); }
    int clrRight() const { return m_sides[2]; }
    void SetclrRight(int color) { SetSide(2, color); }
    int clrBottom() const { return m_sides[3]; }
    void SetclrBottom(int color) { SetSide(3, color); }
    void SetAllSides(int color);

    struct TLine {
        QRect Area;
        int Color;
    };
    // The side lines in drawing order (left, top, right, bottom), each `thick` pixels wide
    // inside the panel; sides coloured NoLine are left out.
    static std::vector<TLine> SideLines(QSize size, int thick, const int (&sides)[4]);

    QImage Render() const;

signals:
    void MouseEnter(TqbColorPanel* panel);
    void MouseLeave(TqbColorPanel* panel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void SetSide(int side, int color);
    void Draw(QPainter& painter) const;

    QString m_caption;
    Qt::Alignment m_alignment = Qt::AlignCenter;
    QColor m_color;
    int m_borderWidth = 0;
    int m_borderThick = 1;
    int m_sides[4] = {0, 0, 0, 0};
};

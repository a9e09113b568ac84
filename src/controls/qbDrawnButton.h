#pragma once

#include <QPushButton>

class QPainter;

// A push button that paints itself through one off-screen image while it is drawn, and is an
// ordinary push button otherwise. It keeps the hot flag (pointer over it), and a double click
// goes to DblClick when anything listens, else it is one more press.
class TqbDrawnButton : public QPushButton {
    Q_OBJECT
public:
    explicit TqbDrawnButton(QWidget* parent = nullptr);

    bool Hot() const { return m_hot; }
    // The face as the next paint would put it on the screen.
    QImage Render() const;

signals:
    void DblClick();

protected:
    // Draws the whole face on an image of the button's size.
    virtual void DrawButton(QPainter& painter, bool pressed) const = 0;
    // False: the toolkit draws an ordinary push button.
    virtual bool IsOwnerDrawn() const { return true; }
    // Whether the face covers every pixel (nothing beneath needs painting first).
    virtual bool IsOpaque() const { return false; }
    // Call after IsOwnerDrawn or IsOpaque may have changed.
    void OwnerDrawChanged();

    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void DrawFace(QPainter& painter) const;

    bool m_hot = false;
};

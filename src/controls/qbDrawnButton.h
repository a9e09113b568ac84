#pragma once

#include "controls/qbHotButton.h"

#include <QPushButton>

class QPainter;

// A push button that paints itself through one off-screen image while it is drawn, and is an
// ordinary push button otherwise. A double click goes to DblClick when anything listens, else
// it is one more press.
class TqbDrawnButton : public TqbHotButton<QPushButton> {
    Q_OBJECT
public:
    explicit TqbDrawnButton(QWidget* parent = nullptr);
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
    bool DoubleClicked() override;

private:
    void DrawFace(QPainter& painter) const;
};

#pragma once

#include "controls/qbDrawnButton.h"

// A drawn push button whose look and clickable area belong to a subclass: a left press where
// IsHit says no gives neither the pressed look nor a click.
class TqbPictureCButton : public TqbDrawnButton {
    Q_OBJECT
public:
    explicit TqbPictureCButton(QWidget* parent = nullptr);

    // (x, y) in the button's own pixels.
    virtual bool IsHit(int x, int y) const = 0;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

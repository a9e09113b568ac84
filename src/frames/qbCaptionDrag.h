#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

class QWidget;

// Moves a caption-less window while its caption is dragged with any mouse button: our own
// move loop (press, move, release), so that a correction (snapping) can see every step. Where
// the platform refuses client-side moves the system moves the window and nothing is corrected.
class TqbCaptionDrag : public QObject {
    Q_OBJECT
public:
    // `handle` is the caption; the window it belongs to moves.
    explicit TqbCaptionDrag(QWidget* handle);

    // Given the place the pointer asks for, the place the window takes.
    std::function<QPoint(QPoint)> Correct;
    // Whether a press at this caption point starts a move; unset, every press does. A press
    // that does not stays the caption's own (a click there must reach it, which a system move
    // would swallow).
    std::function<bool(QPoint)> Takes;

    bool Dragging() const { return m_dragging; }
    // Where the window goes when the pointer is at `global` during a drag.
    static QPoint Target(QPoint windowStart, QPoint pressGlobal, QPoint global);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_handle;
    bool m_dragging = false;
    QPoint m_pressGlobal;
    QPoint m_windowStart;
};

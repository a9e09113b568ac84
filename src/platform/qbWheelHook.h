#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>
#include <memory>

// Watches the mouse wheel over the whole screen, whichever program is under the pointer, and
// reports the gesture that brings the hidden main window back: the wheel turned with the
// pointer in the top rows of the right half of the screen. The other program still gets its
// wheel turn; this platform offers no way to take it away.
class TqbWheelHook : public QObject {
    Q_OBJECT
public:
    // The pointer rows at the top of the screen that count.
    static constexpr int GestureRows = 5;

    explicit TqbWheelHook(QObject* parent = nullptr);
    ~TqbWheelHook() override;

    // Starts watching. False where the platform or the session gives no way to (nothing is
    // reported then).
    bool Install();
    void Remove();
    bool Installed() const;

    // The gesture's place: above GestureRows and right of half the screen's width.
    static bool IsGesture(const QPoint& cursor, const QSize& screen);

signals:
    // Every wheel turn anywhere, with the pointer's place and the screen's size.
    void Wheel(const QPoint& cursor, const QSize& screen);
    // A wheel turn at the gesture's place.
    void Gesture();

private:
    void Report(const QPoint& cursor, const QSize& screen);

    struct TPrivate;
    std::unique_ptr<TPrivate> d;
};

#pragma once

#include <QObject>
#include <functional>

class QTimer;
class QWidget;

// Runs a task once the widget's first paint is on screen, so that work the first picture does
// not need comes after it. A window that is not painted within unpaintedMs (shown minimized)
// runs it anyway, unless that is negative.
class TqbAfterFirstPaint : public QObject {
public:
    TqbAfterFirstPaint(QWidget* widget, std::function<void()> task, int unpaintedMs = 500);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Run();

    QWidget* m_widget;
    std::function<void()> m_task;
    QTimer* m_fallback;
};

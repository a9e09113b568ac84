#pragma once

#include <QObject>
#include <functional>

// The one application-wide filter of keys and mouse presses. After every left press, left
// release and key release it runs the style check once that event has reached its target
// (the page reports its selection only after it).
class TqbAppMessageFilter : public QObject {
    Q_OBJECT
public:
    TqbAppMessageFilter(std::function<void()> styleCheck, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_styleCheck;
    bool m_styleCheckQueued = false;
};

#pragma once

#include <QObject>
#include <QTimer>

// The carets of the program's text boxes blink for a while after the user's last key or click,
// then stay on, as many desktops do: each blink repaints, and a window left alone should cost
// the machine nothing.
class TqbCaretBlink : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultBlinkMs = 10000;

    // Watches the whole application's input from now on; blinking starts on.
    explicit TqbCaretBlink(QObject* parent = nullptr, int blinkMs = DefaultBlinkMs);
    ~TqbCaretBlink() override;

    bool Blinking() const;

signals:
    void BlinkingChanged(bool blinking);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetBlinking(bool blinking);

    int m_desktopFlashMs;
    QTimer m_stopTimer;
};

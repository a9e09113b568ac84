#pragma once

#include <QPointer>
#include <QWindow>

class TqbKeyHold;

// Keys typed just as a dialog is confirmed are meant for the window it goes back to. The X
// server routes each key by the focus of the moment: until the window manager has focused the
// window below, keys reach the closing dialog or nobody, and the window below receives keys
// before it has heard that it is active, so the input method is not asked and Korean comes out
// as Latin letters. From Begin on, keys wait; the window below takes the focus at once; at the
// end of the hand-off scope the keys go to it in the order typed, behind its focus, so the
// input method composes them where the program has put the caret meanwhile.
// Does nothing where the platform is not X11.
class TqbKeyHandOff {
public:
    explicit TqbKeyHandOff(QWindow* to);
    ~TqbKeyHandOff();
    TqbKeyHandOff(const TqbKeyHandOff&) = delete;
    TqbKeyHandOff& operator=(const TqbKeyHandOff&) = delete;

    void Begin();

private:
    QPointer<QWindow> m_to;
    QPointer<TqbKeyHold> m_hold;
};

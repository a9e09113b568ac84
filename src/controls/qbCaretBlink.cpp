#include "controls/qbCaretBlink.h"

#include <QEvent>
#include <QGuiApplication>
#include <QStyleHints>

TqbCaretBlink::TqbCaretBlink(QObject* parent, int blinkMs)
    : QObject(parent), m_desktopFlashMs(QGuiApplication::styleHints()->cursorFlashTime()) {
    m_stopTimer.setSingleShot(true);
    m_stopTimer.setInterval(blinkMs);
    connect(&m_stopTimer, &QTimer::timeout, this, [this] { SetBlinking(false); });
    m_stopTimer.start();
    qApp->installEventFilter(this);
}

TqbCaretBlink::~TqbCaretBlink() {
    SetBlinking(true);
}

bool TqbCaretBlink::Blinking() const {
    return QGuiApplication::styleHints()->cursorFlashTime() != 0;
}

bool TqbCaretBlink::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::InputMethod:
        m_stopTimer.start();
        SetBlinking(true);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

// Text boxes follow a change of the flash time at once (a caret stopped shows steadily).
void TqbCaretBlink::SetBlinking(bool blinking) {
    if (blinking == Blinking() || m_desktopFlashMs == 0)
        return;
    QGuiApplication::styleHints()->setCursorFlashTime(blinking ? m_desktopFlashMs : 0);
    emit BlinkingChanged(blinking);
}

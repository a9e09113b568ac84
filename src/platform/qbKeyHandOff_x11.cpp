#include "platform/qbKeyHandOff.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <utility>
#include <vector>
#include <xcb/xcb.h>

// Holds the keys of one hand-off and gives them back through the X server, so that they come
// after the focus change there and take the same way as typed keys: the input method among it.
class TqbKeyHold : public QObject, public QAbstractNativeEventFilter {
public:
    TqbKeyHold(xcb_connection_t* connection, QWindow* to)
        : m_connection(connection), m_to(to), m_target(xcb_window_t(to->winId())) {
        xcb_set_input_focus(m_connection, XCB_INPUT_FOCUS_PARENT, m_target, XCB_CURRENT_TIME);
        xcb_flush(m_connection);
        qGuiApp->installNativeEventFilter(this);
        connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &TqbKeyHold::FocusMoved);
    }

    ~TqbKeyHold() override { qGuiApp->removeNativeEventFilter(this); }

    void Release() {
        m_released = true;
        // A dialog's end may have told the input method that nothing has the focus.
        if (m_to && QGuiApplication::focusWindow() == m_to && m_to->focusObject())
            emit m_to->focusObjectChanged(m_to->focusObject());
        Send();
        FinishIfDone();
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (m_done || eventType != "xcb_generic_event_t")
            return false;
        auto* event = static_cast<xcb_key_press_event_t*>(message);
        const uint8_t type = event->response_type & ~0x80;
        if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
            return false;
        if ((event->response_type & 0x80) && m_inFlight > 0) {
            --m_inFlight;
            m_typedMeanwhile = 0;
            FinishIfDone();
            return false;
        }
        // Keys given back that never return (their window gone) must not keep the keyboard.
        if (m_released && ++m_typedMeanwhile > MaxTypedMeanwhile) {
            m_inFlight = 0;
            FinishIfDone();
            return false;
        }
        if (m_released && m_inFlight == 0) {
            FinishIfDone();
            return false;
        }
        // Typed while earlier keys are still on their way back: it goes behind them.
        m_held.push_back(*event);
        if (m_released)
            Send();
        return true;
    }

private:
    void Send() {
        if (!m_to) {
            m_held.clear();
            return;
        }
        for (xcb_key_press_event_t key : std::exchange(m_held, {})) {
            key.response_type &= ~0x80;
            key.event = m_target;
            key.child = XCB_NONE;
            xcb_send_event(m_connection, 0, m_target,
                           XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE,
                           reinterpret_cast<const char*>(&key));
            ++m_inFlight;
        }
        xcb_flush(m_connection);
    }

    // The program asks something in a window of its own before the hand-off ends: the keys
    // were typed for what it could not do, and the question needs the keyboard.
    void FocusMoved(QWindow* window) {
        if (m_released || !window || window == m_to)
            return;
        m_held.clear();
        m_released = true;
        FinishIfDone();
    }

    void FinishIfDone() {
        if (m_done || !m_released || m_inFlight > 0 || !m_held.empty())
            return;
        m_done = true;
        deleteLater();
    }

    xcb_connection_t* m_connection;
    QPointer<QWindow> m_to;
    xcb_window_t m_target;
    std::vector<xcb_key_press_event_t> m_held;
    static constexpr int MaxTypedMeanwhile = 32;
    int m_inFlight = 0;
    int m_typedMeanwhile = 0;
    bool m_released = false;
    bool m_done = false;
};

TqbKeyHandOff::TqbKeyHandOff(QWindow* to) : m_to(to) {}

TqbKeyHandOff::~TqbKeyHandOff() {
    if (m_hold)
        m_hold->Release();
}

void TqbKeyHandOff::Begin() {
    // The offscreen platform answers for X11 too, without a connection of its own.
    if (m_hold || !m_to || !m_to->isVisible() ||
        QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (xcb_connection_t* connection = x11 ? x11->connection() : nullptr)
        m_hold = new TqbKeyHold(connection, m_to);
}

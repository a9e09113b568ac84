#include "platform/qbKeyGrab.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>

#include <array>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {

// The modifiers a key is told by; the lock keys (CapsLock, and NumLock on the usual Mod2) are
// grabbed in every state so that the key works whether they are on or not.
constexpr uint16_t CountedMods =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
constexpr std::array<uint16_t, 4> LockVariants{0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                               XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

uint16_t ModsOf(Qt::KeyboardModifiers modifiers) {
    uint16_t mods = 0;
    if (modifiers & Qt::ShiftModifier)
        mods |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        mods |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::AltModifier)
        mods |= XCB_MOD_MASK_1;
    if (modifiers & Qt::MetaModifier)
        mods |= XCB_MOD_MASK_4;
    return mods;
}

// The first key of the keyboard that gives the keysym; 0 when none does.
xcb_keycode_t KeycodeOf(xcb_connection_t* connection, xcb_keysym_t keysym) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, count), nullptr);
    if (!reply)
        return 0;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply);
    const int perKey = reply->keysyms_per_keycode;
    xcb_keycode_t found = 0;
    for (int code = 0; code < count && !found; ++code)
        for (int column = 0; column < perKey && column < 2; ++column)
            if (keysyms[code * perKey + column] == keysym) {
                found = xcb_keycode_t(setup->min_keycode + code);
                break;
            }
    std::free(reply);
    return found;
}

class TqbX11KeyGrab : public IqbKeyGrab, public QAbstractNativeEventFilter {
public:
    TqbX11KeyGrab(xcb_connection_t* connection, std::function<void()> pressed)
        : m_connection(connection),
          m_root(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root),
          m_pressed(std::move(pressed)) {
        qGuiApp->installNativeEventFilter(this);
    }
    ~TqbX11KeyGrab() override { Release(); }

    TResult Grab(QKeyCombination key) override {
        Release();
        const xcb_keysym_t keysym = qbKeysymOf(key.key()).Code;
        const xcb_keycode_t keycode = keysym ? KeycodeOf(m_connection, keysym) : 0;
        if (!keycode)
            return TResult::Unusable;
        const uint16_t mods = ModsOf(key.keyboardModifiers());
        std::array<xcb_void_cookie_t, LockVariants.size()> cookies;
        for (size_t i = 0; i < LockVariants.size(); ++i)
            cookies[i] = xcb_grab_key_checked(m_connection, 1, m_root, mods | LockVariants[i],
                                              keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        bool taken = false;
        for (xcb_void_cookie_t cookie : cookies)
            if (xcb_generic_error_t* error = xcb_request_check(m_connection, cookie)) {
                taken = true;
                std::free(error);
            }
        m_keycode = keycode;
        m_mods = mods;
        if (taken) {
            Release();
            return TResult::Taken;
        }
        return TResult::Grabbed;
    }

    void Release() override {
        if (!m_keycode)
            return;
        for (uint16_t lock : LockVariants)
            xcb_ungrab_key(m_connection, m_keycode, m_root, m_mods | lock);
        xcb_flush(m_connection);
        m_keycode = 0;
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (!m_keycode || eventType != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & ~0x80) != XCB_KEY_PRESS)
            return false;
        const auto* press = static_cast<const xcb_key_press_event_t*>(message);
        if (press->detail != m_keycode || (press->state & CountedMods) != m_mods)
            return false;
        m_pressed();
        // Qt still sees the press: its time counts as the user's last action, so the window
        // manager gives the focus to a window shown for it.
        return false;
    }

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    std::function<void()> m_pressed;
    xcb_keycode_t m_keycode = 0;
    uint16_t m_mods = 0;
};

} // namespace

std::unique_ptr<IqbKeyGrab> qbX11KeyGrab(std::function<void()> pressed) {
    // The offscreen platform answers for X11 too, without a connection of its own.
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return nullptr;
    return std::make_unique<TqbX11KeyGrab>(connection, std::move(pressed));
}

#include "platform/qbWindowDesktop.h"

#include <QGuiApplication>
#include <QWindow>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <xcb/xcb.h>

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// The desktop the user is on, as the window manager announces it; none without such a manager.
std::optional<quint32> CurrentDesktop(xcb_connection_t* connection, xcb_window_t root) {
    const xcb_atom_t atom = Atom(connection, "_NET_CURRENT_DESKTOP");
    if (atom == XCB_ATOM_NONE)
        return std::nullopt;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, atom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    std::optional<quint32> desktop;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 4)
        desktop = *static_cast<const quint32*>(xcb_get_property_value(reply));
    std::free(reply);
    return desktop;
}

} // namespace

void qbWindowDesktop::MoveToCurrentDesktop(QWindow* window) {
    // The offscreen platform answers for X11 too, without a connection of its own.
    if (!qGuiApp || !window || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const std::optional<quint32> desktop = CurrentDesktop(connection, root);
    const xcb_atom_t wmDesktop = Atom(connection, "_NET_WM_DESKTOP");
    if (!desktop || wmDesktop == XCB_ATOM_NONE)
        return;
    const auto id = xcb_window_t(window->winId());
    if (!window->isVisible()) {
        // A window the manager does not manage now takes the desktop it is mapped with.
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, wmDesktop, XCB_ATOM_CARDINAL,
                            32, 1, &*desktop);
    } else {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = id;
        event.type = wmDesktop;
        event.data.data32[0] = *desktop;
        event.data.data32[1] = 1; // asked by the application itself
        xcb_send_event(connection, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char*>(&event));
    }
    xcb_flush(connection);
}

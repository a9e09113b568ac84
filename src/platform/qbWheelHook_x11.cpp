// X11: raw button events of the wheel (buttons 4 and 5) selected on the root window through
// XInput2, on a display connection of our own. Raw events are copies: the program under the
// pointer still gets its wheel turn.
#include "platform/qbWheelHook.h"

#include <QSocketNotifier>

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

namespace {

constexpr int WheelUp = 4;
constexpr int WheelDown = 5;

} // namespace

struct TqbWheelHook::TPrivate {
    Display* Connection = nullptr;
    int XiOpcode = 0;
    QSocketNotifier* Notifier = nullptr;
};

TqbWheelHook::TqbWheelHook(QObject* parent) : QObject(parent), d(std::make_unique<TPrivate>()) {}

TqbWheelHook::~TqbWheelHook() {
    Remove();
}

bool TqbWheelHook::Installed() const {
    return d->Connection != nullptr;
}

bool TqbWheelHook::Install() {
    if (Installed())
        return true;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    int opcode = 0, firstEvent = 0, firstError = 0;
    // Raw events reach a client that holds no grab from version 2.1 on.
    int major = 2, minor = 2;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &firstEvent, &firstError) ||
        XIQueryVersion(display, &major, &minor) != Success || (major == 2 && minor < 1)) {
        XCloseDisplay(display);
        return false;
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawButtonPress);
    XIEventMask mask;
    // The master pointer only: its slaves would report every turn twice.
    mask.deviceid = XIAllMasterDevices;
    mask.mask_len = sizeof(bits);
    mask.mask = bits;
    XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
    XFlush(display);

    d->Connection = display;
    d->XiOpcode = opcode;
    d->Notifier = new QSocketNotifier(ConnectionNumber(display), QSocketNotifier::Read, this);
    connect(d->Notifier, &QSocketNotifier::activated, this, [this] {
        Display* connection = d->Connection;
        while (connection && XPending(connection) > 0) {
            XEvent event;
            XNextEvent(connection, &event);
            XGenericEventCookie* cookie = &event.xcookie;
            if (cookie->type != GenericEvent || cookie->extension != d->XiOpcode ||
                !XGetEventData(connection, cookie))
                continue;
            const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
            const bool wheel = cookie->evtype == XI_RawButtonPress &&
                               (raw->detail == WheelUp || raw->detail == WheelDown);
            XFreeEventData(connection, cookie);
            if (!wheel)
                continue;
            Window root = 0, child = 0;
            int rootX = 0, rootY = 0, x = 0, y = 0;
            unsigned int buttons = 0;
            const int screen = DefaultScreen(connection);
            if (!XQueryPointer(connection, RootWindow(connection, screen), &root, &child, &rootX,
                               &rootY, &x, &y, &buttons))
                continue;
            Report(QPoint(rootX, rootY),
                   QSize(DisplayWidth(connection, screen), DisplayHeight(connection, screen)));
            // A slot of Report may have removed the hook.
            connection = d->Connection;
        }
    });
    return true;
}

void TqbWheelHook::Remove() {
    if (!d->Connection)
        return;
    delete d->Notifier;
    d->Notifier = nullptr;
    XCloseDisplay(d->Connection);
    d->Connection = nullptr;
}

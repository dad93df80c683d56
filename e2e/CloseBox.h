#pragma once

// The close box of a window, pressed exactly as a window manager does: a WM_DELETE_WINDOW client
// message. The private servers run no window manager, and xdotool's windowclose destroys the
// window instead, which no person can do.

#include <QString>

#include <X11/Xlib.h>

namespace vaporica::e2e {

inline bool pressCloseBox(const QString &display, const QString &window) {
    Display *x = XOpenDisplay(display.toLocal8Bit().constData());
    if (x == nullptr)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window.toULong();
    event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(x, event.xclient.window, False, NoEventMask, &event);
    XSync(x, False);
    XCloseDisplay(x);
    return sent != 0;
}

} // namespace vaporica::e2e

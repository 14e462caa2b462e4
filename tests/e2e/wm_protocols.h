#pragma once
// A WM_PROTOCOLS client message to a top-level window, as a window manager sends it: the
// protocol (WM_DELETE_WINDOW, _NET_WM_PING, ...), a timestamp and, for some, one datum more.

#include <X11/Xlib.h>

#include <cstring>

namespace vantu::e2e {

inline void sendWmProtocol(Display* display, Window window, Atom protocol, long time,
                           long datum = 0) {
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(protocol);
    event.xclient.data.l[1] = time;
    event.xclient.data.l[2] = datum;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

}  // namespace vantu::e2e

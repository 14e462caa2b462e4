// Asks a top-level window to close the way a window manager does when the player clicks the
// frame's close button: a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW. The e2e tests
// run without a window manager, and xdotool only offers to destroy a window or kill its client.
//
// Usage: wm-close WINDOW_ID   (decimal or 0x hexadecimal; DISPLAY names the server)
// Exit status 0 when the message was sent, 1 when the window does not take WM_DELETE_WINDOW,
// 2 on bad arguments or no display.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

#include "wm_protocols.h"

namespace {

bool takesDeleteWindow(Display* display, Window window, Atom deleteWindow) {
    Atom* protocols = nullptr;
    int count = 0;
    if (XGetWMProtocols(display, window, &protocols, &count) == 0)
        return false;
    bool found = false;
    for (int i = 0; i < count; ++i)
        found = found || protocols[i] == deleteWindow;
    XFree(protocols);
    return found;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WINDOW_ID\n", argv[0]);
        return 2;
    }
    char* end = nullptr;
    const unsigned long id = std::strtoul(argv[1], &end, 0);
    if (end == argv[1] || *end != '\0' || id == 0) {
        std::fprintf(stderr, "%s: not a window id: %s\n", argv[0], argv[1]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "%s: cannot open display\n", argv[0]);
        return 2;
    }
    const Window window = id;
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    if (!takesDeleteWindow(display, window, deleteWindow)) {
        std::fprintf(stderr, "%s: window 0x%lx does not take WM_DELETE_WINDOW\n", argv[0], id);
        XCloseDisplay(display);
        return 1;
    }

    vantu::e2e::sendWmProtocol(display, window, deleteWindow, CurrentTime);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}

#include "frontend/qt/x11_taskbar.h"

#include <QGuiApplication>
#include <QWidget>

// Xlib last: its macros (None, Bool, Status, ...) clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace vantu {

void keepOffTaskbar(QWidget& window) {
#if QT_CONFIG(xcb)
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    if (display == nullptr)
        return;

    const auto id = static_cast<::Window>(window.winId());
    const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    const Atom skipTaskbar = XInternAtom(display, "_NET_WM_STATE_SKIP_TASKBAR", False);
    XChangeProperty(display, id, state, XA_ATOM, 32, PropModeAppend,
                    reinterpret_cast<const unsigned char*>(&skipTaskbar), 1);
    XFlush(display);
#else
    static_cast<void>(window);
#endif
}

}  // namespace vantu

#pragma once

class QWidget;

namespace vantu {

// Asks the window manager to leave the top-level window out of the taskbar. Qt has no flag for
// this, so on X11 the window's _NET_WM_STATE gets _NET_WM_STATE_SKIP_TASKBAR before it is first
// shown (Qt keeps the atom when it maps the window). Does nothing on other display systems.
void keepOffTaskbar(QWidget& window);

}  // namespace vantu

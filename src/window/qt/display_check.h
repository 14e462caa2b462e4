#pragma once

#include <optional>
#include <string>

#include <QtGlobal>

namespace vantu {

// What the launcher prints, as its one line on stderr, when it cannot open its window.
inline constexpr const char* kNoDisplayPrefix = "vantu-launcher: cannot open a display";

// Before the QApplication exists, with the platform that the command line's "-platform" asks
// for (empty when none): the platforms Qt will try, in its order (the list that "-platform" or
// else QT_QPA_PLATFORM names; otherwise Wayland when
// WAYLAND_DISPLAY is set or the session is a Wayland one, then X11), and whether any of them
// has its display: a Wayland compositor that accepts a connection on its socket, or a DISPLAY
// for X11. When none has, the line to print, e.g. "... (neither WAYLAND_DISPLAY nor DISPLAY is
// set)"; otherwise nothing. A platform that needs no display (offscreen, say) is left to Qt.
std::optional<std::string> missingDisplay(const std::string& platformOption);

// Qt ends the process with an abort when it cannot start its platform (an X server that does
// not answer, a platform plugin that is missing), after several lines of advice. While a guard
// lives (around the QApplication's construction), such a failure instead prints one line,
// "... (cannot connect to :99)", and ends the process with exit status 1. Qt's messages in
// that time are held back, and passed on when the guard ends normally.
class PlatformStartGuard {
  public:
    PlatformStartGuard();
    ~PlatformStartGuard();
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;

  private:
    QtMessageHandler previous_;
};

}  // namespace vantu

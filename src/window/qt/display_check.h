#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QtGlobal>

namespace vantu {

// What the launcher prints, as its last line on stderr, when it cannot open its window: for a
// window system that is missing or refuses the connection, and for anything else that stops Qt
// from starting its platform.
inline constexpr const char* kNoDisplayPrefix = "vantu-launcher: cannot open a display";
inline constexpr const char* kNoPlatformPrefix = "vantu-launcher: Qt cannot start its platform";

// The platform plugins Qt will try, in its order, as it reads them: the list that
// platformOption (the command line's "-platform") or else QT_QPA_PLATFORM names ("xcb",
// "wayland;xcb", "xcb:option"; names lower-cased, empty entries skipped), or else its own choice,
// Wayland first when WAYLAND_DISPLAY is set or the session is a Wayland one, then X11.
std::vector<std::string> qtPlatforms(const std::string& platformOption);

// Before the QApplication exists: whether any platform that Qt will try has its display, a
// Wayland compositor that accepts a connection on its socket, or for X11 the display that
// displayOption (the command line's "-display") or else DISPLAY names. When none has, the line
// to print, e.g. "... (neither WAYLAND_DISPLAY nor DISPLAY is set)"; otherwise nothing. A
// platform that needs no display (offscreen, say) is left to Qt.
std::optional<std::string> missingDisplay(const std::string& platformOption,
                                          const std::string& displayOption);

// Qt ends the process with an abort when it cannot start its platform (an X server that does
// not answer, a platform plugin that is missing or cannot be loaded), after several lines of
// advice. While a guard lives (around the QApplication's construction), Qt's messages are held
// back, from any thread, and passed on in their order when the guard ends. A fatal start instead
// passes them on and then prints one line that says why, from what Qt said ("... (cannot connect
// to :99)", "... (the plugin "xcb" was found but could not be loaded ...)"), and ends the
// process with exit status 1. One guard at a time.
class PlatformStartGuard {
  public:
    PlatformStartGuard();
    ~PlatformStartGuard();
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;
};

}  // namespace vantu

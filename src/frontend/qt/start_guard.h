#pragma once

#include <QtGlobal>

namespace vantu {

// What the launcher prints, as its last line on stderr, when anything other than a missing
// display (kNoDisplayPrefix) stops Qt from starting its platform.
inline constexpr const char* kNoPlatformPrefix = "vantu-launcher: Qt cannot start its platform";

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

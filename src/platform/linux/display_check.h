#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantu {

// What the launcher prints, as its last line on stderr, when it cannot open its window for want
// of a window system: one that is missing or refuses the connection.
inline constexpr const char* kNoDisplayPrefix = "vantu-launcher: cannot open a display";

// The Wayland display a Wayland client connects to: WAYLAND_DISPLAY, "wayland-0" when unset.
std::string waylandDisplay();

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

// Whether a window Qt opens is seen by the player: every platform Qt may try shows its windows
// on a display (X11, Wayland), and missingDisplay finds one of them. Not so under "offscreen",
// where a window that waits for an answer would wait unseen for ever.
bool displayAtHand(const std::string& platformOption, const std::string& displayOption);

}  // namespace vantu

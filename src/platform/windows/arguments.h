#pragma once

#include <string>

namespace vantu {

// Acts on the launcher's own command line, read as Unicode, before its window is made: shows
// the help or the version in a message box titled `title` and ends with status 0, or makes the
// game folder it names the current folder, whatever the system's code page. A usage error or a
// folder that cannot be entered throws std::runtime_error with the report's text. Returns
// whether the game is to start at once, without the window (--play).
bool takeLauncherArguments(const std::string& title);

}  // namespace vantu

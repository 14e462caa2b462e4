#pragma once

#include "ports/platform.h"

namespace vantu {

// "--play": the game starts at once, as if the player had pressed "Play" the moment the window
// opened, with no window. The launcher's start-up runs on controls without a window
// (WindowlessControls), silent: the options are read from the game's xconfig.dat as the window
// reads them, and the start-up sound is never played. Then "Play" runs as the button runs it:
// the same command line, the change flag included, the same show state, and the same end (the
// platform's endProcess) or failure report, both through runReportingFailures. The game's files
// are in the current folder.
void playWithoutWindow(Platform& platform) noexcept;

}  // namespace vantu

#pragma once

#include <windows.h>

#include "platform/windows/windows_platform.h"

namespace vantu {

// The Windows launcher: keeps DLLs out of the game's folder, keeps crash dialogs away, takes the
// monitors' DPI, then runs the launcher's run (window/launcher_run.h) over Win32 and the Windows
// services; its arguments are told in boxes, and with --play a game that cannot be started is
// reported in the same message box (status 1). Never returns.
[[noreturn]] void runLauncher(HINSTANCE instance, int showCommand);

// The window alone (the core's runWindow over Win32): builds it over the game's files in the
// current folder, loads the configuration, shows the window and handles its messages until the
// player closes it or starts the game, then ends the process. Every failure on the way, the
// window's building included, is reported in a message box and ends the process with status 1.
// Never returns.
[[noreturn]] void runWindow(HINSTANCE instance, int showCommand, WindowsPlatform& platform);

}  // namespace vantu

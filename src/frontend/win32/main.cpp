// The Windows launcher: the Win32 window, its controls, the launcher's logic and the Windows
// services, put together by runLauncher.
#include <windows.h>

#include "frontend/win32/win32_launcher.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int showCommand) {
    vantu::runLauncher(instance, showCommand);
}

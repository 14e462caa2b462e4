// The Windows launcher: the Win32 window, its controls, the launcher's logic and the Windows
// services.
#include <windows.h>

#include "platform/windows/arguments.h"
#include "platform/windows/system_library.h"
#include "platform/windows/windows_platform.h"
#include "window/form1.h"
#include "window/layout.h"
#include "window/win32/win32_dpi.h"
#include "window/win32/win32_launcher.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int showCommand) {
    // Before any DLL is loaded: the game's folder, where the launcher runs, may hold DLLs
    // planted by anyone.
    vantu::limitDllSearchToSystemFolder();
    vantu::suppressCrashDialogs();
    vantu::enablePerMonitorDpiAwareness();
    vantu::WindowsPlatform platform{std::string(vantu::layout::kForm.caption)};
    // The game's folder named on the command line becomes the current folder; a usage error or
    // a folder that cannot be entered is reported like any failure.
    vantu::runReportingFailures(
        platform, [] { vantu::takeLauncherArguments(std::string(vantu::layout::kForm.caption)); });
    vantu::runLauncher(instance, showCommand, platform);
}

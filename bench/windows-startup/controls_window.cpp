// Baseline of the Windows start-up benchmark: the launcher's window without its logic.
//
// bench-controls-window.exe is the launcher's own window, built by the launcher's code
// (Win32Form: the owned top-level window, its picture, fonts, panel colours and every
// control with their keyboard and accessible names), with the launcher's resources (icon,
// picture, manifest), but no Form1: no configuration file, no sound and no game start. It starts
// as the launcher does, up to the window, and ends when the window is closed.
#include <windows.h>

#include <cstdlib>

#include "frontend/win32/win32_dpi.h"
#include "frontend/win32/win32_form.h"
#include "phase_clock.h"

namespace {
__attribute__((init_priority(101))) bench::PhaseClock phases;
__attribute__((init_priority(101))) bench::StaticStart staticStart(phases);
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    phases.mark("winmain");
    vantu::enablePerMonitorDpiAwareness();
    vantu::Win32Form window(instance);
    phases.mark("window");
    phases.mark("controls");  // made with the window
    phases.mark("config");
    window.show(showCommand);
    phases.mark("shown");
    if (std::getenv("VANTU_PHASES") != nullptr) {
        bench::handleMessagesUntilIdle();
        phases.finish("painted");
        ExitProcess(0);
    }
    // Closing the window ends the loop (WM_QUIT), and the process with it, as in the launcher.
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    ExitProcess(0);
}

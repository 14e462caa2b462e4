// The launcher's start-up, step by step with a phase clock: the same objects, in the same order,
// as runLauncher, over the game's files in the current folder. Ends when its message queue first
// runs empty after the window was shown: the window and its controls have painted (see
// phase_clock.h for where the phases go).
#include <windows.h>

#include "frontend/win32/win32_controls.h"
#include "frontend/win32/win32_dpi.h"
#include "frontend/win32/win32_form.h"
#include "phase_clock.h"
#include "platform/windows/system_library.h"
#include "platform/windows/windows_platform.h"
#include "window/control_router.h"
#include "window/form1.h"
#include "window/launcher_run.h"
#include "window/layout.h"

namespace {
__attribute__((init_priority(101))) bench::PhaseClock phases;
__attribute__((init_priority(101))) bench::StaticStart staticStart(phases);
}  // namespace
bench::PhaseClock* gClock = &phases;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    phases.mark("winmain");
    vantu::limitDllSearchToSystemFolder();
    vantu::suppressCrashDialogs();
    vantu::enablePerMonitorDpiAwareness();
    vantu::WindowsPlatform platform{std::string(vantu::layout::kForm.caption)};
    vantu::Win32Form window(instance);
    phases.mark("window");
    vantu::Win32Controls controls(window);
    // The start-up sound is held, as the launcher holds it until the window is up.
    vantu::HeldSounds sounds(platform);
    vantu::Form1 form(controls, sounds);
    const vantu::ControlRouter router(controls, form);
    phases.mark("controls");
    form.dispatch(&vantu::Form1::Form_Load);
    phases.mark("config");
    window.show(showCommand);
    phases.mark("shown");
    bench::handleMessagesUntilIdle();
    phases.finish("painted");
    ExitProcess(0);
}

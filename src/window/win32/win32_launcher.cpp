#include "window/win32/win32_launcher.h"

#include <optional>
#include <string>

#include "platform/windows/arguments.h"
#include "platform/windows/system_library.h"
#include "platform/windows/xinput_pads.h"
#include "window/layout.h"
#include "window/play_without_window.h"
#include "window/win32/win32_dpi.h"
#include "window/win32/win32_pad_window.h"

namespace vantu {

Win32Launcher::Win32Launcher(Win32Form& window, Win32Controls& controls, Form1& form)
    : window_(window), controls_(controls), form_(form) {
    controls_.setEvents(&form_);
    window_.setListener(this);
}

Win32Launcher::~Win32Launcher() {
    window_.setListener(nullptr);
    controls_.setEvents(nullptr);
}

void Win32Launcher::controlClicked(std::size_t control) {
    if (control >= layout::kControls.size())
        return;
    if (const std::optional<CheckBox> box = layout::checkBoxAt(control)) {
        form_.dispatch([this, which = *box] { controls_.playerClickedCheck(which); });
        return;
    }
    const layout::ControlDesign& design = layout::kControls[control];
    for (const ClickRoute& route : kClickRoutes) {
        if (route.control == design.name) {
            form_.dispatch(route.handler);
            return;
        }
    }
}

void Win32Launcher::listSelectionChanged() {
    form_.dispatch([this] { controls_.playerSelectedEntry(); });
}

void runLauncher(HINSTANCE instance, int showCommand) {
    // Before any DLL is loaded: the game's folder, where the launcher runs, may hold DLLs
    // planted by anyone.
    limitDllSearchToSystemFolder();
    suppressCrashDialogs();
    enablePerMonitorDpiAwareness();
    WindowsPlatform platform{std::string(layout::kForm.caption)};
    // The game's folder named on the command line becomes the current folder; the help, the
    // version, a usage error or a folder that cannot be entered is told in a box, and ends the
    // launcher with the status every build gives it.
    LauncherArguments arguments;
    std::optional<int> status;
    runReportingFailures(platform, [&] {
        BoxArguments boxes(platform);
        status =
            takeLauncherArguments(launcherArguments(), kNoToolkitOptions, {}, boxes, arguments);
    });
    if (status)
        ExitProcess(static_cast<UINT>(*status));
    if (arguments.action == LauncherArguments::Action::Play) {
        // --play: no window; a game that cannot be started is reported in a box of its own.
        playWithoutWindow(platform);
        // Both the game's start and a failure's report end the process: nothing gets here.
        ExitProcess(1);
    }
    runWindow(instance, showCommand, platform);
}

void runWindow(HINSTANCE instance, int showCommand, WindowsPlatform& platform) {
    runReportingFailures(platform, [&] {
        // The window opens with the design values, narrow, focus on "Play".
        Win32Form window(instance);
        // A failure that takes the window down with it is reported in a box of its own.
        const WindowsPlatform::ReportOwner owner(platform, window.window());
        Win32Controls controls(window);
        // The game's files are in the current directory.
        Form1 form(controls, platform);
        Win32Launcher launcher(window, controls, form);

        // The options are in place before the window first shows; the start-up sound asked for
        // by Form_Load begins once the window has been shown and painted, when the message
        // queue first runs empty.
        platform.holdSounds();
        form.dispatch(&Form1::Form_Load);
        window.show(showCommand);
        // Gamepads, read through XInput on a timer of the window from its first tick on.
        XInputPads pads;
        Win32PadWindow padWindow(window, form, controls, pads);

        MSG message;
        bool shown = false;
        while (true) {
            if (!shown && PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) == 0) {
                shown = true;
                platform.startHeldSound();
            }
            if (GetMessageA(&message, nullptr, 0, 0) <= 0)
                break;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        // The window was closed. Ending here, with the window still up, is immediate; taking
        // it down first can take seconds (winex11 without a window manager), and nothing is
        // left to save or wait for, not even the sound.
        platform.endProcess();
    });
    // Both the action and a failure's report end the process: nothing gets here.
    ExitProcess(1);
}

}  // namespace vantu

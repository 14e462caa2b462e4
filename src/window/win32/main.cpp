// The Windows launcher: the Win32 window, its controls, the launcher's logic and the Windows
// services.
#include <windows.h>

#include <exception>

#include "platform/windows/windows_platform.h"
#include "window/form1.h"
#include "window/win32/win32_controls.h"
#include "window/win32/win32_dpi.h"
#include "window/win32/win32_form.h"
#include "window/win32/win32_launcher.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int showCommand) {
    vantu::suppressCrashDialogs();
    vantu::enablePerMonitorDpiAwareness();
    vantu::WindowsPlatform platform;
    try {
        // The window opens with the design values, narrow, focus on "Play".
        vantu::Win32Form window(instance);
        platform.setOwner(window.window());
        vantu::Win32Controls controls(window);
        // The game's files are in the current directory.
        vantu::Form1 form(controls, platform);
        vantu::Win32Launcher launcher(window, controls, form);

        // The options are in place before the window first shows; the start-up sound asked for
        // by Form_Load begins once the window has been shown and painted, when the message
        // queue first runs empty.
        platform.holdSounds();
        form.dispatch(&vantu::Form1::Form_Load);
        window.show(showCommand);

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
    } catch (const std::exception& e) {
        platform.reportUnhandledFailure(e.what());
    }
}

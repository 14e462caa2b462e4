// The Linux launcher: the Qt window, its controls, the launcher's logic and the Linux services.
#include <QApplication>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/arguments.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/process_exit.h"
#include "platform/linux/sdl_pads.h"
#include "window/form1.h"
#include "window/layout.h"
#include "window/qt/display_check.h"
#include "window/qt/qt_controls.h"
#include "window/qt/qt_form.h"
#include "window/qt/qt_launcher.h"
#include "window/qt/qt_pad_window.h"

int main(int argc, char* argv[]) {
    // --help, --version, a usage error or a game folder that cannot be entered: no display needed.
    vantu::QtArguments qt;
    if (const auto status = vantu::takeLauncherArguments(argc, argv, qt))
        return *status;
    // Without a window system the launcher says so in one line and ends with status 1.
    if (const auto problem = vantu::missingDisplay(qt.platform, qt.display)) {
        std::fprintf(stderr, "%s\n", problem->c_str());
        return 1;
    }
    // Qt gets its own options and nothing else: not the game folder, nor what follows "--".
    // It keeps these for the application's life.
    std::vector<char*> qtArgv;
    for (std::string& argument : qt.arguments)
        qtArgv.push_back(argument.data());
    qtArgv.push_back(nullptr);
    int qtArgc = static_cast<int>(qt.arguments.size());
    std::unique_ptr<vantu::PlatformStartGuard> guard =
        std::make_unique<vantu::PlatformStartGuard>();
    QApplication app(qtArgc, qtArgv.data());
    guard.reset();

    vantu::LinuxPlatform platform{std::string(vantu::layout::kForm.caption)};
    vantu::runReportingFailures(platform, [&] {
        vantu::installApplicationSettings();
        // The window opens with the design values, narrow, focus on "Play".
        vantu::QtForm window;
        vantu::QtControls controls(window);
        // The game's files are in the current directory.
        vantu::Form1 form(controls, platform);
        vantu::connectHandlers(window, controls, form);

        // The options are in place before the window first shows; the start-up sound begins
        // once the event loop runs, after the window was shown.
        form.dispatch(&vantu::Form1::Form_Load);
        window.show();
        // The player has just started the launcher: it takes the keyboard. A window manager
        // focuses a new dialog by itself, but may leave a new normal window (which this is, so
        // that it keeps off the taskbar) unfocused until asked (openbox does).
        window.activateWindow();
        // The pads: read through SDL once the window has painted, while it is active.
        vantu::SdlPads pads;
        vantu::QtPadWindow padWindow(window, form, controls, pads);
        // The window was closed: nothing is left to save, and the sound is not waited for. Its
        // thread may still be inside SDL, closing the device; returning from main would run the
        // process's exit teardown (static destructors, exit handlers) under it. The launcher
        // ends here the way "Play" ends it, as the Windows build ends when its window closes.
        vantu::exitNow(app.exec());
    });
    // Both the action and a failure's report end the process: nothing gets here.
    vantu::exitNow(1);
}

#include "window/qt/qt_launcher.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "options/launcher_arguments.h"
#include "platform/linux/arguments.h"
#include "platform/linux/display_check.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/process_exit.h"
#include "platform/linux/sdl_pads.h"
#include "window/form1.h"
#include "window/layout.h"
#include "window/play_without_window.h"
#include "window/qt/failure_report.h"
#include "window/qt/option_widgets.h"
#include "window/qt/qt_controls.h"
#include "window/qt/qt_form.h"
#include "window/qt/qt_options.h"
#include "window/qt/qt_pad_window.h"
#include "window/qt/start_guard.h"

namespace vantu {
namespace {

// The window over the game's files in the current folder, from its building to the end of the
// process.
[[noreturn]] void runWindow(QApplication& app, LinuxPlatform& platform) {
    runReportingFailures(platform, [&] {
        installApplicationSettings();
        // The window opens with the design values, narrow, focus on "Play".
        QtForm window;
        QtControls controls(window);
        // The game's files are in the current directory.
        Form1 form(controls, platform);
        connectHandlers(window, controls, form);

        // The options are in place before the window first shows; the start-up sound asked for
        // by Form_Load begins once the event loop runs, after the window was shown.
        platform.holdSounds();
        form.dispatch(&Form1::Form_Load);
        QTimer::singleShot(0, &window, [&platform] { platform.startHeldSound(); });
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
        exitNow(app.exec());
    });
    // Both the action and a failure's report end the process: nothing gets here.
    exitNow(1);
}

}  // namespace

int runLauncher(int argc, char* argv[]) {
    // --help, --version, a usage error or a game folder that cannot be entered: no display needed.
    // They are told on the console.
    LauncherArguments arguments;
    ConsoleArguments console;
    if (const auto status = takeLauncherArguments(launcherArguments(argc, argv), kQtOptions,
                                                  currentFolder(), console, arguments))
        return *status;
    // --play: the game starts with no window, so neither a display nor Qt's platform is needed.
    // A game that cannot be started is reported on stderr, there being no box to show it in.
    if (arguments.action == LauncherArguments::Action::Play) {
        LinuxPlatform platform{std::string(layout::kForm.caption)};
        playWithoutWindow(platform);
        // Both the game's start and a failure's report end the process: nothing gets here.
        exitNow(1);
    }
    // Without a window system the launcher says so in one line and ends with status 1.
    if (const auto problem = missingDisplay(arguments.platform, arguments.display)) {
        std::fprintf(stderr, "%s\n", problem->c_str());
        return 1;
    }
    // Qt gets the program's name and its own options, and nothing else: not the game folder, nor
    // what follows "--". It keeps these for the application's life.
    std::vector<std::string> qtArguments{argc > 0 ? argv[0] : "vantu-launcher"};
    qtArguments.insert(qtArguments.end(), arguments.toolkitArguments.begin(),
                       arguments.toolkitArguments.end());
    std::vector<char*> qtArgv;
    for (std::string& argument : qtArguments)
        qtArgv.push_back(argument.data());
    qtArgv.push_back(nullptr);
    int qtArgc = static_cast<int>(qtArguments.size());
    auto guard = std::make_unique<PlatformStartGuard>();
    QApplication app(qtArgc, qtArgv.data());
    guard.reset();

    LinuxPlatform platform{std::string(layout::kForm.caption), showFailureReport};
    runWindow(app, platform);
}

void connectHandlers(QtForm& window, QtControls& controls, Form1& form) {
    controls.setEvents(&form);
    controls.setChangeRunner(
        [&form](const std::function<void()>& change) { form.dispatch(change); });
    for (const ClickRoute& route : kClickRoutes) {
        const auto run = [&form, handler = route.handler] { form.dispatch(handler); };
        if (auto* button = window.controlAs<QPushButton>(route.control))
            QObject::connect(button, &QPushButton::clicked, &window, run);
        else if (auto* label = window.controlAs<ClickLabel>(route.control))
            QObject::connect(label, &ClickLabel::clicked, &window, run);
    }
}

}  // namespace vantu

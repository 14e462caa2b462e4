#include "window/launcher_run.h"

#include <utility>

#include "window/control_router.h"
#include "window/form1.h"
#include "window/play_without_window.h"

namespace vantu {

void HeldSounds::playSound(const std::string& fileName) {
    if (holding_) {
        held_ = fileName;
        return;
    }
    platform_.playSound(fileName);
}

void HeldSounds::release() {
    holding_ = false;
    if (!held_.empty())
        platform_.playSound(std::exchange(held_, {}));
}

int runLauncher(const std::vector<std::string>& args, const std::string& startFolder,
                LauncherFront& front, Platform& platform) {
    // --help, --version, a usage error or a game folder that cannot be entered: no window, no
    // toolkit needed.
    LauncherArguments arguments;
    std::optional<int> status;
    runReportingFailures(platform, [&] {
        status = takeLauncherArguments(args, front.toolkitOptions(), startFolder,
                                       front.argumentsMedium(), arguments);
    });
    if (status)
        return *status;
    // --play: the game starts with no window, so the toolkit is not started either.
    if (arguments.action == LauncherArguments::Action::Play) {
        front.offerFailureBox(arguments);
        playWithoutWindow(platform);
        // Both the game's start and a failure's report end the process: nothing gets here.
        return 1;
    }
    if (const auto problem = front.startToolkit(arguments))
        return *problem;
    return runWindow(front, platform);
}

int runWindow(LauncherFront& front, Platform& platform) {
    runReportingFailures(platform, [&] {
        HeldSounds sounds(platform);
        try {
            WidgetControls& controls = front.makeWindow();
            // The game's files are in the current directory.
            Form1 form(controls, sounds);
            // Gone before the front end takes the window down.
            const ControlRouter router(controls, form);
            // The options are in place before the window first shows; the start-up sound asked
            // for by Form_Load begins once the window is up and the loop first has nothing to do.
            form.dispatch(&Form1::Form_Load);
            front.show();
            front.makePadWindow(form);
            front.runLoop([&sounds] { sounds.release(); });
        } catch (...) {
            front.takeDown();
            throw;
        }
        // The window was closed: nothing is left to save, and the sound is not waited for.
        // Ending here, with the window still up, is immediate (taking it down first can take
        // seconds), and no exit teardown runs under the sound's thread.
        platform.endProcess();
    });
    // Both the end and a failure's report end the process: nothing gets here.
    return 1;
}

}  // namespace vantu

#include "frontend/qt/qt_launcher.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frontend/qt/failure_report.h"
#include "frontend/qt/option_widgets.h"
#include "frontend/qt/qt_controls.h"
#include "frontend/qt/qt_form.h"
#include "frontend/qt/qt_options.h"
#include "frontend/qt/qt_pad_window.h"
#include "frontend/qt/start_guard.h"
#include "platform/linux/arguments.h"
#include "platform/linux/display_check.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/sdl_pads.h"
#include "window/form1.h"
#include "window/launcher_run.h"
#include "window/layout.h"

namespace vantu {
namespace {

// What Qt does for the launcher's run: the console for the arguments, Qt's start, the window,
// its controls, the pads and the event loop. Each part lives as long as the process.
class QtFront final : public LauncherFront {
  public:
    QtFront(std::string programName, LinuxPlatform& platform)
        : programName_(std::move(programName)), platform_(platform) {}

    const ToolkitOptions& toolkitOptions() const override { return kQtOptions; }
    ArgumentsMedium& argumentsMedium() override { return console_; }

    std::optional<int> startToolkit(const LauncherArguments& arguments) override {
        // Without a window system the launcher says so in one line and ends with status 1.
        if (const auto problem = missingDisplay(arguments.platform, arguments.display)) {
            std::fprintf(stderr, "%s\n", problem->c_str());
            return 1;
        }
        startQt(arguments);
        // From here on a failure is shown in Qt's box.
        platform_.setFailureBox(showFailureReport);
        return std::nullopt;
    }

    // Qt starts only for the box, and only where it finds a display: the failure's line is
    // already on stderr, and no display is no failure of its own here.
    void offerFailureBox(const LauncherArguments& arguments) override {
        platform_.setFailureBox(
            [this, arguments](const std::string& title, const std::string& message) {
                if (!displayAtHand(arguments.platform, arguments.display))
                    return;
                startQt(arguments);
                installApplicationSettings();
                showFailureReport(title, message);
            });
    }

    WidgetControls& makeWindow() override {
        installApplicationSettings();
        window_.emplace();
        controls_.emplace(*window_);
        return *controls_;
    }

    void show() override {
        window_->show();
        // The player has just started the launcher: it takes the keyboard. A window manager
        // focuses a new dialog by itself, but may leave a new normal window (which this is, so
        // that it keeps off the taskbar) unfocused until asked (openbox does).
        window_->activateWindow();
    }

    // The pads: read through SDL once the window has painted, while it is active.
    void makePadWindow(Form1& form) override {
        pads_.emplace();
        padWindow_.emplace(*window_, form, *controls_, *pads_);
    }

    // A zero timer fires once the event loop runs, after the window was shown.
    void runLoop(const std::function<void()>& firstIdle) override {
        QTimer::singleShot(0, &*window_, firstIdle);
        QApplication::exec();
    }

    void takeDown() override {
        padWindow_.reset();
        pads_.reset();
        controls_.reset();
        window_.reset();
    }

  private:
    // Qt gets the program's name and its own options, and nothing else: not the game folder, nor
    // what follows "--". It keeps these for the application's life. A platform that Qt cannot
    // start ends the launcher (PlatformStartGuard).
    void startQt(const LauncherArguments& arguments) {
        qtArguments_.push_back(programName_);
        qtArguments_.insert(qtArguments_.end(), arguments.toolkitArguments.begin(),
                            arguments.toolkitArguments.end());
        for (std::string& argument : qtArguments_)
            qtArgv_.push_back(argument.data());
        qtArgv_.push_back(nullptr);
        qtArgc_ = static_cast<int>(qtArguments_.size());
        auto guard = std::make_unique<PlatformStartGuard>();
        app_.emplace(qtArgc_, qtArgv_.data());
        guard.reset();
    }

    std::string programName_;
    LinuxPlatform& platform_;
    ConsoleArguments console_;
    std::vector<std::string> qtArguments_;
    std::vector<char*> qtArgv_;
    int qtArgc_ = 0;
    std::optional<QApplication> app_;
    std::optional<QtForm> window_;
    std::optional<QtControls> controls_;
    std::optional<SdlPads> pads_;
    std::optional<QtPadWindow> padWindow_;
};

}  // namespace

int runLauncher(int argc, char* argv[]) {
    // A failure before Qt has started goes to stderr alone, there being no box (but for --play,
    // whose failure starts Qt for its box where it can).
    LinuxPlatform platform{std::string(layout::kForm.caption)};
    QtFront front(argc > 0 ? argv[0] : "vantu-launcher", platform);
    return runLauncher(launcherArguments(argc, argv), currentFolder(), front, platform);
}

}  // namespace vantu

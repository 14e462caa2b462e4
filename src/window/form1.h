#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "options/launch_options.h"
#include "ports/controls.h"
#include "ports/platform.h"

namespace vantu {

inline constexpr const char* kStartupSound = "vantu2.wav";

// Runs an action for the launcher's event loop or its start-up. A failure that escapes it, of
// whatever type, ends the launcher through the platform's report; if even the report fails,
// the launcher just ends. This is the one failure path: front ends run the start-up, every
// handler and every change the player makes through it, so nothing unwinds into a toolkit.
void runReportingFailures(Platform& platform, const std::function<void()>& action) noexcept;

// The launcher window's logic: every handler of Form1, working on the controls through the
// Controls interface and on the operating system through Platform. The launcher's run creates
// the controls, then this object, routes the controls' Click notifications and the player's
// clicks and changes here (a ControlRouter: this is the controls' ControlEvents) and runs
// Form_Load through dispatch() before the window first shows.
class Form1 : public ControlEvents {
  public:
    using Handler = void (Form1::*)();

    // Runs one handler, or another action on the controls (a player's change that a front end
    // passes on), through runReportingFailures. The handlers set up no failure handling of
    // their own. (The Click notifications raised by the controls run nested in whatever set the
    // value, and cannot fail.)
    void dispatch(Handler handler) noexcept;
    void dispatch(const std::function<void()>& action) noexcept;

    // The game's files are in the current folder, which the launcher's arguments chose.
    Form1(Controls& controls, Platform& platform);

    // Start-up: selects display mode 1, loads the game's configuration, starts the sound.
    void Form_Load();
    // "Play": starts the game with the options' command line, then ends the launcher.
    void Command1_Click();
    // "Video Setup": widens or narrows the window.
    void Command2_Click();
    // "Save Config" (hidden): writes the saved options to the launcher's own option file.
    void Command3_Click();
    // "Load Config" (hidden): reads the game's configuration into the options.
    void Command4_Click();
    // "<<": the same as "Video Setup".
    void Label1_Click();

    // The change handlers of every check box and of the list: each marks the options changed
    // and does nothing else.
    void checkClicked(CheckBox) override { options_.markChanged(); }
    void comboClicked() override { options_.markChanged(); }

    const LaunchOptions& options() const { return options_; }

  private:
    Controls& controls_;
    Platform& platform_;
    LaunchOptions options_;
};

// The handler a click on each clickable control runs: the push buttons and "<<". ControlRouter
// runs it, through Form1::dispatch, for a click on the control of that name that a front end's
// controls hand it; the check boxes and the list reach Form1 through the controls' change
// notifications instead.
struct ClickRoute {
    std::string_view control;
    Form1::Handler handler;
};
inline constexpr std::array<ClickRoute, 5> kClickRoutes{{
    {"Command1", &Form1::Command1_Click},
    {"Command2", &Form1::Command2_Click},
    {"Command3", &Form1::Command3_Click},
    {"Command4", &Form1::Command4_Click},
    {"Label1", &Form1::Label1_Click},
}};

// Whether a click on the control of that name runs a handler: the one place that says which
// label can be clicked.
constexpr bool hasClickRoute(std::string_view control) {
    for (const ClickRoute& route : kClickRoutes) {
        if (route.control == control)
            return true;
    }
    return false;
}

}  // namespace vantu

#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "options/launcher_arguments.h"
#include "ports/controls.h"
#include "ports/platform.h"
#include "window/sound_decorator.h"
#include "window/widget_controls.h"

namespace vantu {

class Form1;

// What only a toolkit can do for the launcher's run (runLauncher calls these in this order).
class LauncherFront {
  public:
    // The toolkit's own options, left to it, and where the arguments' outcome is told.
    virtual const ToolkitOptions& toolkitOptions() const = 0;
    virtual ArgumentsMedium& argumentsMedium() = 0;
    // The window is asked for: starts the toolkit with its own arguments. Gives the exit status
    // when it cannot start (no display).
    virtual std::optional<int> startToolkit(const LauncherArguments& arguments) = 0;
    // --play instead of the window, before the game starts: a failure from here on is also
    // shown in the toolkit's failure box where a display is at hand, the toolkit started for it
    // only then, after the platform's own report has begun (a line on the console); with no
    // display, that report alone.
    virtual void offerFailureBox(const LauncherArguments& arguments) = 0;
    // Makes the window with the design values, narrow, focus on "Play", and its controls, which
    // hand the player's clicks and changes to their router (WidgetControls::playerClicked,
    // playerChange); a failure from here on is reported in a box that belongs to the window
    // where it can.
    virtual WidgetControls& makeWindow() = 0;
    // Shows the window and gives it the keyboard.
    virtual void show() = 0;
    // Starts reading the pads into form.
    virtual void makePadWindow(Form1& form) = 0;
    // Handles the window's events until it is closed; calls firstIdle once, the first time the
    // loop runs out of work after the window was shown.
    virtual void runLoop(const std::function<void()>& firstIdle) = 0;
    // A step above failed: takes down what was made, the window last, before the failure is
    // reported (the report then has a box of its own).
    virtual void takeDown() = 0;

  protected:
    ~LauncherFront() = default;
};

// The launcher's platform with the sounds held back: a sound asked for is only noted until
// release() plays it. The start-up sound asked for by Form_Load thus waits until the window
// is up: loading the sound library and opening the device take nothing from its start-up.
class HeldSounds : public SoundDecorator {
  public:
    using SoundDecorator::SoundDecorator;
    void playSound(const std::string& fileName) override;
    // Plays the sound last asked for, if any; from then on sounds play at once.
    void release();

  private:
    bool holding_ = true;
    std::string held_;
};

// The launcher's run, the same for every toolkit: acts on its own arguments (args, read from
// startFolder: help, version, a usage error, the game folder, which becomes the current folder);
// with --play starts the game at once without a window (playWithoutWindow), a failure to start
// it shown in the toolkit's box as well where a display is at hand (offerFailureBox): started
// from a shortcut or a game client, a line on the console goes unseen; else starts the toolkit
// and runs the window (runWindow). Returns the exit status of a launcher that ends
// before its window; otherwise the process ends through platform and nothing returns (but a
// platform that does not end it, in tests: then 1).
int runLauncher(const std::vector<std::string>& args, const std::string& startFolder,
                LauncherFront& front, Platform& platform);

// The window over the game's files in the current folder: makes it and its controls, Form1 over
// them, routes the controls' clicks and changes to Form1 (ControlRouter), runs Form_Load with the
// sound held, shows the window, starts the pads, runs the loop (the sound starts at its first idle
// moment) and ends the process when the window is closed. Every failure on the way is reported
// through platform, which ends the process. Returns 1 only where platform does not end it.
int runWindow(LauncherFront& front, Platform& platform);

}  // namespace vantu

#pragma once

#include <functional>
#include <string>
#include <utility>

#include "platform/linux/process_start.h"
#include "platform/linux/sdl_sound.h"
#include "ports/platform.h"

namespace vantu {

// Shows the report of a failure to the player, in a box titled title, and returns once it has
// been dismissed; shows nothing when it cannot from here (no window system, or not the window's
// thread): the report's line on stderr is written in any case.
using FailureBox = std::function<void(const std::string& title, const std::string& message)>;

// The launcher's operating-system services on Linux: the game starts detached (through wine
// when it is a Windows program), the sound plays through SDL, a failure goes to stderr and is
// also shown in the front end's box where there is one. It stops the sound when it is
// destroyed.
class LinuxPlatform : public Platform {
  public:
    // reportTitle is the title of the failure report's box: the window's own. The game is
    // looked up first in the current directory, the game's folder, and runs there.
    explicit LinuxPlatform(std::string reportTitle, FailureBox failureBox = nullptr);

    // Linux has no show state to hand to a new process: showState is accepted and ignored,
    // the game decides how its window starts.
    void startProcess(const std::string& commandLine, int showState) override;
    [[noreturn]] void endProcess() override;
    // Starts playing the file on the sound's own thread.
    void playSound(const std::string& fileName) override;
    // The box a failure is reported in from now on (once the toolkit has started, or one that
    // starts it).
    void setFailureBox(FailureBox failureBox) { failureBox_ = std::move(failureBox); }
    // The message on stderr, at once, then the failure box's report, if any; then exit status 1.
    [[noreturn]] void reportUnhandledFailure(const std::string& message) override;

  private:
    std::string reportTitle_;
    FailureBox failureBox_;
    ProcessStarter starter_;
    SdlSound sound_;
};

}  // namespace vantu

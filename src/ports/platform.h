#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vantu {

// Show state handed to the game's start: minimised and activated.
inline constexpr int kShowMinimized = 2;

// The largest sound file that is played, on every system; a bigger one is treated like a
// missing one.
inline constexpr std::uint64_t kMaxSoundFileBytes = 32ull * 1024 * 1024;

// A process could not be started; what() names the program and the operating system's reason.
class StartError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The operating-system services the launcher uses. One implementation per operating system;
// the tests use a recording fake.
class Platform {
  public:
    virtual ~Platform() = default;

    // Starts the program that the command line names, with the given show state, and returns
    // without waiting for it. Throws StartError when it cannot be started.
    virtual void startProcess(const std::string& commandLine, int showState) = 0;

    // Ends the launcher at once with exit status 0. Real implementations do not return.
    virtual void endProcess() = 0;

    // Plays a wave file once, in the background, and returns at once. A file that cannot be
    // played (missing, not a regular file, over kMaxSoundFileBytes, no sound device) is simply
    // not heard: nothing is reported.
    virtual void playSound(const std::string& fileName) = 0;

    // Shows the report of a failure that no handler caught, then ends the launcher with a
    // non-zero exit status. Real implementations do not return.
    virtual void reportUnhandledFailure(const std::string& message) = 0;
};

}  // namespace vantu

#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vantu {

// Show state handed to the game's start: minimised and activated.
inline constexpr int kShowMinimized = 2;

// Flags of the start-up sound: return at once while it plays, and stay silent when the file
// cannot be found or played.
inline constexpr std::uint32_t kSoundAsync = 0x1;
inline constexpr std::uint32_t kSoundNoDefault = 0x2;

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

    // Plays a wave file in the background; never waits for it and never reports a failure.
    virtual std::int32_t playSound(const std::string& fileName, std::uint32_t flags) = 0;

    // Shows the report of a failure that no handler caught, then ends the launcher with a
    // non-zero exit status. Real implementations do not return.
    virtual void reportUnhandledFailure(const std::string& message) = 0;
};

}  // namespace vantu

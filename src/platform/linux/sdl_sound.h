#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "ports/platform.h"

namespace vantu {

// Plays wave files through SDL's audio subsystem on a thread of its own: loading the file,
// starting SDL and opening the device all happen there, so play() never waits. Only a regular
// file (links followed) of at most kMaxSoundFileBytes (about three minutes of CD-quality sound,
// read whole into memory) is played; a missing, unreadable or oversized file, a pipe or a device,
// or no audio device, plays nothing and prints nothing.
//
// Stopping never waits: the sound's thread is let go, and ends on its own as soon as it can (a
// sound still being read or decoded never opens the device; one that plays closes it). Such a
// thread may still be inside SDL when the player is gone, so a program that uses the player
// ends with exitNow() (process_exit.h), never through exit's teardown running under it.
//
// The player owns SDL in the process: its thread initialises SDL and shuts it down with
// SDL_Quit when the sound ends. One instance per process; use it from one thread.
class SdlSound {
  public:
    SdlSound() = default;
    // Stops the sound without waiting (see stop()).
    ~SdlSound();
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    // Starts playing the file and returns at once; a sound still playing stops first. A sound
    // that cannot start, not even its thread, is silence.
    void play(const std::string& fileName) noexcept;
    // Stops the current sound and returns at once; its thread closes the device on its own.
    void stop();

    // What one sound's thread and its player share; it outlives the player once the thread
    // is let go.
    struct Shared {
        std::mutex mutex;
        std::condition_variable wake;
        bool stopping = false;
    };

  private:
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

}  // namespace vantu

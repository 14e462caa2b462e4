#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace vantu {

// Plays wave files through SDL's audio subsystem on a thread of its own: loading the file,
// starting SDL and opening the device all happen there, so play() never waits. A missing or
// unreadable file, or no audio device, plays nothing and prints nothing.
//
// The player owns SDL in the process: its thread initialises SDL and shuts it down with
// SDL_Quit when the sound ends. One instance per process; use it from one thread.
class SdlSound {
  public:
    SdlSound() = default;
    // Stops the sound and waits for the thread; returns as soon as SDL lets go of the device.
    ~SdlSound();
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    // Starts playing the file and returns at once; a sound still playing stops first.
    void play(std::string fileName);
    // Waits until the current sound has played to its end or has failed to start.
    void wait();
    // Stops the current sound and waits until its thread has closed the device.
    void stop();

  private:
    void run(const std::string& fileName);
    bool stopRequested();

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace vantu

#pragma once

#include <cstddef>
#include <cstdint>

#include "ports/pads.h"
#include "window/gamepad.h"

// When the pads are read: one schedule for every front end, which drives it with its window's
// events and one timer of the window's thread.
namespace vantu::pad {

// How often the pads are read while the window is active: about 60 times a second while a pad
// is connected; once a second while none is, which is also how often a pad library that could
// not start yet is asked again. While a pad is connected the other slots are looked at about
// once a second too (asking an empty slot is slow on Windows).
inline constexpr int kConnectedPollMs = 16;
inline constexpr int kIdlePollMs = 1000;
inline constexpr std::int64_t kSearchEveryMs = 1000;

// A timer of the window's thread, as the poller sets it. Its ticks go to PadPoller::tick.
class PadTimer {
  public:
    // Ticks every `ms` milliseconds from now on, in place of the earlier interval; 0 ticks as
    // soon as the window's thread has nothing else to do.
    virtual void every(int ms) = 0;
    virtual void stop() = 0;

  protected:
    ~PadTimer() = default;
};

// The pads' schedule. Nothing happens before the window has shown (its first paint done or
// ahead of the timer in the window's queue) nor while it is inactive. The first tick while it is
// active loads the pad library, provided a pad may be connected (else the source is asked
// again on each idle tick and on each device change); the library is never waited for, and
// without one the timer stops for good. Each activation forgets the pads, so that the first read
// after it (the first one of all included) only takes note of what is held: a button pressed
// for another window counts only once pressed again, as one held on a pad first seen later. A
// tick that comes while one runs (an action's message box has a message loop of its own) does
// nothing.
class PadPoller {
  public:
    static constexpr int kStopped = -1;

    PadPoller(PadSource& source, PadTimer& timer, Gamepad& gamepad)
        : source_(source), timer_(timer), gamepad_(gamepad) {}

    // The window has shown; active: it is the active window.
    void shown(bool active);
    // The window became active or inactive.
    void activated(bool active);
    // A device came or went: the slots are looked at on the next tick, which comes at once.
    void devicesChanged();
    // The timer's tick; time in milliseconds from any fixed point.
    void tick(std::int64_t nowMs);

    // The timer's interval in milliseconds, kStopped while it is stopped.
    int interval() const { return interval_; }

  private:
    enum class Library { NotStarted, Started, Missing };

    // Whether the pads are to be read now: the window has shown and is active, and a library may
    // be there.
    bool reading() const;
    void schedule();
    void setInterval(int ms);

    PadSource& source_;
    PadTimer& timer_;
    Gamepad& gamepad_;
    Library library_ = Library::NotStarted;
    bool shown_ = false;
    bool active_ = false;
    bool resetNow_ = true;
    bool searchNow_ = false;
    bool running_ = false;
    std::size_t connected_ = 0;
    std::int64_t lastSearchMs_ = 0;
    int interval_ = kStopped;
};

}  // namespace vantu::pad

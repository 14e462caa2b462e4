#include "window/pad_poller.h"

#include <vector>

namespace vantu::pad {

void PadPoller::shown(bool active) {
    if (shown_)
        return;
    shown_ = true;
    activated(active);
}

void PadPoller::activated(bool active) {
    active_ = active;
    // Whatever is held when the window comes back was pressed for another window.
    if (active)
        resetNow_ = true;
    // The pads are read on the next tick, not inside the window's event.
    schedule();
}

void PadPoller::devicesChanged() {
    searchNow_ = true;
    schedule();
}

bool PadPoller::reading() const {
    return shown_ && active_ && library_ != Library::Missing;
}

void PadPoller::schedule() {
    setInterval(reading() ? 0 : kStopped);
}

void PadPoller::tick(std::int64_t nowMs) {
    if (running_ || !reading())
        return;
    running_ = true;
    struct Done {
        bool& running;
        ~Done() { running = false; }
    } done{running_};

    if (library_ == Library::NotStarted) {
        const PadSource::Start start =
            source_.mayHavePads() ? source_.start() : PadSource::Start::Later;
        if (start == PadSource::Start::Never) {
            library_ = Library::Missing;
            setInterval(kStopped);
            return;
        }
        if (start == PadSource::Start::Later) {
            setInterval(kIdlePollMs);
            return;
        }
        library_ = Library::Started;
        searchNow_ = true;
    }
    const bool search =
        searchNow_ || resetNow_ || connected_ == 0 || nowMs - lastSearchMs_ >= kSearchEveryMs;
    searchNow_ = false;
    const std::vector<PadState> pads = source_.read(search);
    if (search)
        lastSearchMs_ = nowMs;
    connected_ = pads.size();
    // The timer is set first: the action may end the launcher, or deactivate the window, which
    // stops it.
    setInterval(pads.empty() ? kIdlePollMs : kConnectedPollMs);
    if (resetNow_) {
        resetNow_ = false;
        gamepad_.reset();
    }
    gamepad_.update(pads, nowMs);
}

void PadPoller::setInterval(int ms) {
    if (ms == interval_)
        return;
    interval_ = ms;
    if (ms == kStopped)
        timer_.stop();
    else
        timer_.every(ms);
}

}  // namespace vantu::pad

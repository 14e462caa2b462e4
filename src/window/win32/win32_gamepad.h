#pragma once

#include <windows.h>

#include <xinput.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "window/gamepad.h"
#include "window/win32/win32_form.h"

namespace vantu {

// XInputGetState, always called through a pointer: the launcher imports no XInput DLL (a game's
// folder may hold a planted one), it takes the system's when the window has shown.
using XInputGetStateFunction = DWORD(WINAPI*)(DWORD user, XINPUT_STATE* state);

// The system's XInputGetState from the system folder: xinput1_4 (Windows 8 and later), else
// xinput9_1_0 (Vista and 7); nullptr with neither.
XInputGetStateFunction systemXInputGetState();

// An XInput pad as the launcher reads it: the D-pad, A, B and Start, and the left stick with its
// y axis turned to point down.
pad::PadState padStateOf(const XINPUT_GAMEPAD& pad);

// The launcher window as the pad sees it: the focus moves with its cue shown at once, and keys
// reach the focused control through its window procedure as the keyboard's do, so the same
// subclass, control and handlers run.
class Win32PadWindow final : public pad::PadWindow {
  public:
    explicit Win32PadWindow(Win32Form& form) : form_(form) {}

    std::optional<std::size_t> focusedControl() const override;
    void focusWithCue(std::size_t control) override;
    bool listOpen() const override;
    void sendKey(pad::Key key) override;

  private:
    HWND list() const;
    void showFocusCue() const;

    Win32Form& form_;
};

// Reads up to four XInput pads on a timer of the launcher window and hands their states to a
// pad::Gamepad. XInput is loaded on the timer's first tick, once the window has shown; without
// it the timer stops and the launcher goes on as it would without a pad. Connected pads are read
// about 60 times a second, empty slots (slow to ask on Windows) about once a second, and every
// slot at once when a device comes or goes. Nothing is read while the window is inactive; when
// it is activated again, buttons still held are forgotten until they are let go.
class Win32PadReader {
  public:
    using Loader = XInputGetStateFunction (*)();
    static constexpr UINT kConnectedEveryMs = pad::kConnectedPollMs;
    static constexpr UINT kSearchEveryMs = pad::kIdlePollMs;

    Win32PadReader(Win32Form& form, pad::Gamepad& gamepad, Loader load = systemXInputGetState);
    ~Win32PadReader();
    Win32PadReader(const Win32PadReader&) = delete;
    Win32PadReader& operator=(const Win32PadReader&) = delete;

    // The timer's interval in milliseconds, 0 while it is stopped.
    UINT interval() const { return interval_; }

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR subclassId, DWORD_PTR self);
    void handle(UINT message, WPARAM wParam);
    void tick();
    void activate(bool active);
    // The connected pads' states; every slot is asked when searching, else the connected ones.
    std::vector<pad::PadState> read(bool search);
    void setInterval(UINT milliseconds);

    HWND window_;
    pad::Gamepad& gamepad_;
    Loader load_;
    XInputGetStateFunction getState_ = nullptr;
    bool loaded_ = false;
    bool active_ = false;
    bool searchNow_ = false;
    bool resetNow_ = false;
    bool running_ = false;
    std::uint64_t lastSearchMs_ = 0;
    std::array<bool, XUSER_MAX_COUNT> connected_{};
    UINT interval_ = 0;
};

}  // namespace vantu

#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>

#include "frontend/win32/win32_form.h"
#include "window/gamepad.h"
#include "window/pad_poller.h"

namespace vantu {

// The pads on the Win32 window: the window's side of pad::Gamepad (the focus moves with its cue
// shown at once, and keys reach the focused control through its window procedure as the
// keyboard's do, so the same subclass, control and handlers run), and the pad::PadPoller driven
// by a timer of the window and its activation and device-change messages. Made once the window
// has shown: the timer's first tick comes after its first paint (timers come last in the
// message queue).
class Win32PadWindow final : public pad::PadWindow, private pad::PadTimer {
  public:
    Win32PadWindow(Win32Form& window, Form1& form, const Controls& controls,
                   pad::PadSource& source);
    ~Win32PadWindow();
    Win32PadWindow(const Win32PadWindow&) = delete;
    Win32PadWindow& operator=(const Win32PadWindow&) = delete;

    std::optional<std::size_t> focusedControl() const override;
    void focusWithCue(std::size_t control) override;
    bool listOpen() const override;
    void sendKey(pad::Key key) override;
    void showFocusCue() override;

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR subclassId, DWORD_PTR self);
    void handle(UINT message, WPARAM wParam);
    void every(int ms) override;
    void stop() override;
    HWND list() const;

    Win32Form& window_;
    pad::Gamepad gamepad_;
    pad::PadPoller poller_;
};

}  // namespace vantu

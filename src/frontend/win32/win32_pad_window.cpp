// The pads on the Win32 window: the poller's timer and events, and the window's side of the pad
// (focus, its cue, and keys sent to the focused control as the keyboard sends them).
#include "frontend/win32/win32_pad_window.h"

#include <algorithm>
#include <exception>

#include "frontend/win32/common_controls.h"
#include "window/layout.h"

namespace vantu {
namespace {

constexpr UINT_PTR kPadTimer = 0x7061;  // the window's only timer
constexpr UINT_PTR kPadSubclass = 1;

// A key pressed and let go on a control, with the key data a keyboard gives its messages: one
// repeat, the scan code, the extended flag of the arrows; the release also has its previous
// state and transition bits.
void pressKey(HWND control, WORD key) {
    if (control == nullptr)
        return;
    const DWORD scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    const bool extended = key == VK_UP || key == VK_DOWN;
    const DWORD down = 1u | (scan << 16) | (extended ? 1u << 24 : 0u);
    SendMessageA(control, WM_KEYDOWN, key, static_cast<LPARAM>(down));
    SendMessageA(control, WM_KEYUP, key, static_cast<LPARAM>(down | 1u << 30 | 1u << 31));
}

}  // namespace

Win32PadWindow::Win32PadWindow(Win32Form& window, Form1& form, const Controls& controls,
                               pad::PadSource& source)
    : window_(window), gamepad_(*this, form, controls), poller_(source, *this, gamepad_) {
    win32::commonControls().setSubclass(window_.window(), windowProc, kPadSubclass,
                                        reinterpret_cast<DWORD_PTR>(this));
    poller_.shown(GetActiveWindow() == window_.window());
}

Win32PadWindow::~Win32PadWindow() {
    stop();
    win32::commonControls().removeSubclass(window_.window(), windowProc, kPadSubclass);
}

LRESULT CALLBACK Win32PadWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR /*subclassId*/, DWORD_PTR self) {
    try {
        if (message == WM_NCDESTROY) {
            win32::commonControls().removeSubclass(window, windowProc, kPadSubclass);
        } else {
            reinterpret_cast<Win32PadWindow*>(self)->handle(message, wParam);
            if (message == WM_TIMER && wParam == kPadTimer)
                return 0;
        }
    } catch (...) {
        // The handlers report their own failures; nothing may unwind into Windows.
        std::terminate();
    }
    return win32::commonControls().defaultProc(window, message, wParam, lParam);
}

void Win32PadWindow::handle(UINT message, WPARAM wParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kPadTimer)
                poller_.tick(static_cast<std::int64_t>(GetTickCount64()));
            break;
        case WM_ACTIVATE:
            poller_.activated(LOWORD(wParam) != WA_INACTIVE);
            break;
        case WM_ACTIVATEAPP:
            if (wParam == FALSE)
                poller_.activated(false);
            break;
        case WM_DEVICECHANGE:
            poller_.devicesChanged();
            break;
        default:
            break;
    }
}

void Win32PadWindow::every(int ms) {
    // Windows raises a shorter interval to USER_TIMER_MINIMUM itself; said here for Wine's sake.
    SetTimer(window_.window(), kPadTimer, std::max<UINT>(static_cast<UINT>(ms), USER_TIMER_MINIMUM),
             nullptr);
}

void Win32PadWindow::stop() {
    KillTimer(window_.window(), kPadTimer);
}

std::optional<std::size_t> Win32PadWindow::focusedControl() const {
    const std::size_t index = window_.indexOf(GetFocus());
    if (index < layout::kControls.size())
        return index;
    return std::nullopt;
}

void Win32PadWindow::focusWithCue(std::size_t control) {
    showFocusCue();
    SetFocus(window_.control(control));
}

bool Win32PadWindow::listOpen() const {
    HWND box = list();
    return box != nullptr && SendMessageA(box, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void Win32PadWindow::sendKey(pad::Key key) {
    switch (key) {
        case pad::Key::Space:
            // A push button or a check box: it clicks when the key goes up.
            if (HWND focused = GetFocus(); window_.indexOf(focused) < layout::kControls.size())
                pressKey(focused, VK_SPACE);
            break;
        case pad::Key::OpenList:
            // What Alt+Down does: CBN_DROPDOWN, then the list shows.
            SendMessageA(list(), CB_SHOWDROPDOWN, TRUE, 0);
            break;
        case pad::Key::Up:
        case pad::Key::Down:
        case pad::Key::Return:
        case pad::Key::Escape:
            // In the list: its own keys, as the keyboard gives them.
            pressKey(list(), key == pad::Key::Up       ? VK_UP
                             : key == pad::Key::Down   ? VK_DOWN
                             : key == pad::Key::Return ? VK_RETURN
                                                       : VK_ESCAPE);
            break;
    }
}

HWND Win32PadWindow::list() const {
    return window_.control("Combo1");
}

void Win32PadWindow::showFocusCue() {
    // The pad counts as the keyboard: the focus cues show until a mouse click.
    window_.showFocusCues(true);
}

}  // namespace vantu

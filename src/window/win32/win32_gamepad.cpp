// Gamepads on Windows: XInput read on a timer of the launcher window, and the window's side of
// the pad (focus, its cue, and keys sent to the focused control as the keyboard sends them).
#include "window/win32/win32_gamepad.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "platform/windows/system_library.h"
#include "window/layout.h"
#include "window/win32/common_controls.h"

namespace vantu {
namespace {

constexpr UINT_PTR kPadTimer = 0x7061;  // the window's only timer
constexpr UINT_PTR kPadSubclass = 1;

constexpr std::array<std::pair<WORD, std::uint16_t>, 7> kButtons{{
    {XINPUT_GAMEPAD_DPAD_UP, pad::kUp},
    {XINPUT_GAMEPAD_DPAD_DOWN, pad::kDown},
    {XINPUT_GAMEPAD_DPAD_LEFT, pad::kLeft},
    {XINPUT_GAMEPAD_DPAD_RIGHT, pad::kRight},
    {XINPUT_GAMEPAD_A, pad::kA},
    {XINPUT_GAMEPAD_B, pad::kB},
    {XINPUT_GAMEPAD_START, pad::kStart},
}};

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

XInputGetStateFunction systemXInputGetState() {
    if (auto get = systemFunction<XInputGetStateFunction>("xinput1_4.dll", "XInputGetState"))
        return get;
    return systemFunction<XInputGetStateFunction>("xinput9_1_0.dll", "XInputGetState");
}

pad::PadState padStateOf(const XINPUT_GAMEPAD& pad) {
    pad::PadState state;
    for (const auto& [xinput, button] : kButtons) {
        if ((pad.wButtons & xinput) != 0)
            state.buttons |= button;
    }
    state.stickX = pad.sThumbLX;
    // Turned over, full travel up and down alike: -32768 has no opposite in 16 bits.
    state.stickY = static_cast<std::int16_t>(-std::max<int>(pad.sThumbLY, -32767));
    return state;
}

std::optional<std::size_t> Win32PadWindow::focusedControl() const {
    const std::size_t index = form_.indexOf(GetFocus());
    if (index < layout::kControls.size())
        return index;
    return std::nullopt;
}

void Win32PadWindow::focusWithCue(std::size_t control) {
    showFocusCue();
    SetFocus(form_.control(control));
}

bool Win32PadWindow::listOpen() const {
    HWND box = list();
    return box != nullptr && SendMessageA(box, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void Win32PadWindow::sendKey(pad::Key key) {
    showFocusCue();
    switch (key) {
        case pad::Key::Space:
            // A push button or a check box: it clicks when the key goes up.
            if (HWND focused = GetFocus(); form_.indexOf(focused) < layout::kControls.size())
                pressKey(focused, VK_SPACE);
            break;
        case pad::Key::OpenList:
            // What Alt+Down does: CBN_DROPDOWN, then the list shows.
            SendMessageA(list(), CB_SHOWDROPDOWN, TRUE, 0);
            break;
        case pad::Key::Up:
            pressKey(list(), VK_UP);
            break;
        case pad::Key::Down:
            pressKey(list(), VK_DOWN);
            break;
        case pad::Key::Return:
            pressKey(list(), VK_RETURN);
            break;
        case pad::Key::Escape:
            pressKey(list(), VK_ESCAPE);
            break;
    }
}

HWND Win32PadWindow::list() const {
    return form_.control("Combo1");
}

void Win32PadWindow::showFocusCue() const {
    // Windows hides the focus rectangle until the keyboard is used; the pad counts as that.
    SendMessageA(form_.window(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

Win32PadReader::Win32PadReader(Win32Form& form, pad::Gamepad& gamepad, Loader load)
    : window_(form.window()), gamepad_(gamepad), load_(load) {
    win32::commonControls().setSubclass(window_, windowProc, kPadSubclass,
                                        reinterpret_cast<DWORD_PTR>(this));
    // The first tick loads XInput: after the window has shown and painted (timers come last in
    // the message queue), never during the start-up.
    setInterval(kConnectedEveryMs);
}

Win32PadReader::~Win32PadReader() {
    setInterval(0);
    win32::commonControls().removeSubclass(window_, windowProc, kPadSubclass);
}

LRESULT CALLBACK Win32PadReader::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR /*subclassId*/, DWORD_PTR self) {
    try {
        if (message == WM_NCDESTROY) {
            win32::commonControls().removeSubclass(window, windowProc, kPadSubclass);
        } else {
            reinterpret_cast<Win32PadReader*>(self)->handle(message, wParam);
            if (message == WM_TIMER && wParam == kPadTimer)
                return 0;
        }
    } catch (...) {
        // The handlers report their own failures; nothing may unwind into Windows.
        std::terminate();
    }
    return win32::commonControls().defaultProc(window, message, wParam, lParam);
}

void Win32PadReader::handle(UINT message, WPARAM wParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kPadTimer)
                tick();
            break;
        case WM_ACTIVATE:
            activate(LOWORD(wParam) != WA_INACTIVE);
            break;
        case WM_ACTIVATEAPP:
            if (wParam == FALSE)
                activate(false);
            break;
        case WM_DEVICECHANGE:
            // A pad may have come: every slot is asked on the next tick, which comes at once.
            if (active_ && getState_ != nullptr) {
                searchNow_ = true;
                setInterval(USER_TIMER_MINIMUM);
            }
            break;
        default:
            break;
    }
}

void Win32PadReader::tick() {
    // A handler's message box runs a message loop of its own, which delivers ticks too.
    if (running_)
        return;
    running_ = true;
    if (!loaded_) {
        loaded_ = true;
        getState_ = load_();
        if (getState_ == nullptr)
            setInterval(0);  // no XInput: the launcher goes on without pads
        else
            activate(GetActiveWindow() == window_);
    } else if (active_ && getState_ != nullptr) {
        const std::uint64_t now = GetTickCount64();
        const bool none =
            std::none_of(connected_.begin(), connected_.end(), [](bool on) { return on; });
        const bool search =
            resetNow_ || searchNow_ || none || now - lastSearchMs_ >= kSearchEveryMs;
        searchNow_ = false;
        const std::vector<pad::PadState> pads = read(search);
        setInterval(pads.empty() ? kSearchEveryMs : kConnectedEveryMs);
        if (resetNow_) {
            // Whatever is held now was pressed for another window, or before the launcher.
            resetNow_ = false;
            gamepad_.reset(pads);
        } else {
            // Last: the action may end the process ("Play") or deactivate the window.
            gamepad_.update(pads, static_cast<std::int64_t>(now));
        }
    }
    running_ = false;
}

void Win32PadReader::activate(bool active) {
    active_ = active;
    if (!loaded_ || getState_ == nullptr)
        return;
    if (active) {
        // Read on the next tick, which comes at once, rather than in the activation.
        resetNow_ = true;
        setInterval(USER_TIMER_MINIMUM);
    } else {
        setInterval(0);
    }
}

std::vector<pad::PadState> Win32PadReader::read(bool search) {
    std::vector<pad::PadState> pads;
    for (DWORD user = 0; user < XUSER_MAX_COUNT; ++user) {
        if (!search && !connected_[user])
            continue;
        XINPUT_STATE state{};
        connected_[user] = getState_(user, &state) == ERROR_SUCCESS;
        if (connected_[user])
            pads.push_back(padStateOf(state.Gamepad));
    }
    if (search)
        lastSearchMs_ = GetTickCount64();
    return pads;
}

void Win32PadReader::setInterval(UINT milliseconds) {
    if (milliseconds == interval_)
        return;
    if (milliseconds == 0)
        KillTimer(window_, kPadTimer);
    else
        SetTimer(window_, kPadTimer, milliseconds, nullptr);
    interval_ = milliseconds;
}

}  // namespace vantu

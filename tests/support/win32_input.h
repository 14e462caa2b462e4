#pragma once
// A player's keys and mouse for the Win32 tests, through the system's input queue (SendInput),
// so that focus, activation and hit testing work as they do for a real player. Used by the
// widget tests in-process and by the end-to-end driver from another process.
#include <windows.h>

#include <vector>

namespace vantu::testing::win32 {

// Keys a real keyboard sends with the E0 prefix: the arrows and the navigation block. Without
// the extended flag they arrive as the number pad's keys of the same scan code.
inline bool isExtendedKey(WORD key) {
    switch (key) {
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_INSERT:
        case VK_DELETE:
            return true;
        default:
            return false;
    }
}

inline INPUT keyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags =
        (up ? KEYEVENTF_KEYUP : 0u) | (isExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0u);
    return input;
}

// A key pressed and released, with Shift held around it when asked.
inline std::vector<INPUT> keyPress(WORD key, bool shift = false) {
    std::vector<INPUT> inputs;
    if (shift)
        inputs.push_back(keyInput(VK_SHIFT, false));
    inputs.push_back(keyInput(key, false));
    inputs.push_back(keyInput(key, true));
    if (shift)
        inputs.push_back(keyInput(VK_SHIFT, true));
    return inputs;
}

// A mouse event at a screen pixel. Absolute positions are fractions of the screen in 1/65536,
// and (d * size) >> 16 is the pixel they reach, so rounding up hits it exactly.
inline INPUT mouseInput(POINT screen, DWORD flags) {
    const auto scaled = [](LONG v, int size) {
        return static_cast<LONG>((static_cast<long long>(v) * 65536 + size - 1) / size);
    };
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = scaled(screen.x, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = scaled(screen.y, GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    return input;
}

// A left click at a screen pixel: move there, press, release.
inline std::vector<INPUT> leftClick(POINT screen) {
    return {mouseInput(screen, 0), mouseInput(screen, MOUSEEVENTF_LEFTDOWN),
            mouseInput(screen, MOUSEEVENTF_LEFTUP)};
}

// The centre of a window on the screen.
inline POINT centreOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Queues the events; false when the system took fewer than all of them.
inline bool send(std::vector<INPUT> inputs) {
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
           inputs.size();
}

}  // namespace vantu::testing::win32

#include "window/win32/win32_dpi.h"

namespace vantu {
namespace {

// A function of user32 that this Windows version may not have, or nullptr.
template <class Function>
Function user32Function(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (user32 == nullptr)
        return nullptr;
    // Through the generic function type, which converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name)));
}

UINT deviceDpi(HWND window) {
    HDC dc = GetDC(window);
    const int dpi = dc != nullptr ? GetDeviceCaps(dc, LOGPIXELSX) : 0;
    if (dc != nullptr)
        ReleaseDC(window, dc);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

}  // namespace

void enablePerMonitorDpiAwareness() {
    using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    if (auto set = user32Function<SetContext>("SetProcessDpiAwarenessContext")) {
        if (set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) ||
            set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE))
            return;
    }
    using SetAware = BOOL(WINAPI*)();
    if (auto set = user32Function<SetAware>("SetProcessDPIAware"))
        static_cast<void>(set());
}

UINT systemDpi() {
    using GetForSystem = UINT(WINAPI*)();
    if (auto get = user32Function<GetForSystem>("GetDpiForSystem")) {
        if (const UINT dpi = get(); dpi != 0)
            return dpi;
    }
    return deviceDpi(nullptr);
}

UINT windowDpi(HWND window) {
    using GetForWindow = UINT(WINAPI*)(HWND);
    if (auto get = user32Function<GetForWindow>("GetDpiForWindow")) {
        if (const UINT dpi = get(window); dpi != 0)
            return dpi;
    }
    return deviceDpi(window);
}

void adjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) {
    using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    if (auto adjust = user32Function<AdjustForDpi>("AdjustWindowRectExForDpi")) {
        if (adjust(&rect, style, FALSE, exStyle, dpi))
            return;
    }
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

}  // namespace vantu

#include "frontend/win32/win32_dpi.h"

#include "platform/windows/system_library.h"

namespace vantu {
namespace {

// A function of user32 that this Windows version may not have, or nullptr.
template <class Function>
Function user32Function(const char* name) {
    return systemFunction<Function>("user32.dll", name);
}

// The DPI of the monitor the window is on, from the shell's DPI service (Windows 8.1), or 0.
UINT monitorDpi(HWND window) {
    // MONITOR_DPI_TYPE's MDT_EFFECTIVE_DPI; the header that names it is Windows 8.1's.
    constexpr int kEffectiveDpi = 0;
    using GetForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    const auto get = systemFunction<GetForMonitor>("shcore.dll", "GetDpiForMonitor");
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    UINT x = 0;
    UINT y = 0;
    if (get == nullptr || monitor == nullptr || FAILED(get(monitor, kEffectiveDpi, &x, &y)))
        return 0;
    return x;
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
    } else {
        // Windows 8.1: per-monitor awareness through the shell's DPI service
        // (PROCESS_PER_MONITOR_DPI_AWARE).
        constexpr int kPerMonitorAware = 2;
        using SetAwareness = HRESULT(WINAPI*)(int);
        if (auto set = systemFunction<SetAwareness>("shcore.dll", "SetProcessDpiAwareness")) {
            if (SUCCEEDED(set(kPerMonitorAware)))
                return;
        }
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
    } else if (const UINT dpi = monitorDpi(window); dpi != 0) {
        // Windows 8.1: the monitor's DPI, so that a window opening on a second monitor is laid
        // out for that one.
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

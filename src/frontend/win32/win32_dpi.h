#pragma once

#include <windows.h>

namespace vantu {

// DPI services that older Windows versions lack: each is looked up at run time and falls back
// to what every version has.

// Asks for per-monitor DPI awareness (V2, else V1; on Windows 8.1 its per-monitor awareness),
// else for system-wide awareness, when the manifest has not already given it. A refusal is not
// an error: the window then works at the DPI Windows gives it.
void enablePerMonitorDpiAwareness();

// The DPI of the primary monitor, and of the monitor a window is on (Windows 10's per-window DPI,
// else Windows 8.1's per-monitor DPI, else the screen's; 96 when unknown).
UINT systemDpi();
UINT windowDpi(HWND window);

// The outer rectangle of a window with the given client rectangle, at a DPI.
void adjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace vantu

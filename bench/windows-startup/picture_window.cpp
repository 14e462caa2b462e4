// Baseline of the Windows start-up benchmark: bench-picture-window.exe, the launcher's window
// with its picture alone (the launcher's resources: icon, picture, manifest), owned by a hidden
// window and with the launcher's client area at the screen's DPI. It ends when the window is
// closed.
#include <windows.h>

#include <string>

#include "resource_ids.h"
#include "window/layout.h"

namespace {

namespace layout = vantu::layout;

HBITMAP picture = nullptr;
UINT dpi = 96;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_ERASEBKGND: {
            HDC dc = reinterpret_cast<HDC>(w);
            HDC source = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(source, picture);
            const int width = layout::kForm.pictureWidthPixels;
            const int height = layout::kForm.pictureHeightPixels;
            SetStretchBltMode(dc, COLORONCOLOR);
            StretchBlt(dc, 0, 0, MulDiv(width, static_cast<int>(dpi), 96),
                       MulDiv(height, static_cast<int>(dpi), 96), source, 0, 0, width, height,
                       SRCCOPY);
            SelectObject(source, old);
            DeleteDC(source);
            return 1;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, w, l);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    HDC screen = GetDC(nullptr);
    dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(nullptr, screen);
    picture = static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(VANTU_PICTURE_ID), IMAGE_BITMAP, 0, 0, 0));

    WNDCLASSA wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(VANTU_ICON_ID));
    wc.lpszClassName = "VantuBenchWindow";
    RegisterClassA(&wc);

    HWND owner =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    const DWORD style = WS_CAPTION | WS_SYSMENU;
    RECT r{0, 0, layout::twipsToPixels(layout::kForm.clientWidth, static_cast<int>(dpi)),
           layout::twipsToPixels(layout::kForm.clientHeight, static_cast<int>(dpi))};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    const std::string title(layout::kForm.caption);
    HWND window =
        CreateWindowExA(0, wc.lpszClassName, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                        r.right - r.left, r.bottom - r.top, owner, nullptr, instance, nullptr);
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

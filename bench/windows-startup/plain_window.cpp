// Baselines for the Windows start-up benchmark: the launcher's window without its logic.
//
// Built twice, both with the launcher's own resources (icon, picture, manifest).
// bench-controls-window.exe: the same owned top-level window, client area, background picture,
// fonts, panel colours and seventeen controls as the launcher (the shape painted with the
// background), with the same common-controls set-up, but no handlers, no file, no sound and no
// game start. bench-picture-window.exe (PICTURE_ONLY): the window and its picture alone. Both
// end when the window is closed.
#include <windows.h>

#include <commctrl.h>
#include <uxtheme.h>

#include <cstdlib>
#include <string>

#include "phase_clock.h"
#include "resource_ids.h"
#include "window/layout.h"
#include "window/win32/win32_layout.h"

namespace {

namespace layout = vantu::layout;
namespace win32 = vantu::win32;

__attribute__((init_priority(101))) bench::PhaseClock phases;
__attribute__((init_priority(101))) bench::StaticStart staticStart(phases);

HBITMAP picture = nullptr;
HBRUSH panelBrush = nullptr;
UINT dpi = 96;

void paintBackground(HWND window, HDC dc) {
    RECT client{};
    GetClientRect(window, &client);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, picture);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, MulDiv(layout::kForm.pictureWidthPixels, static_cast<int>(dpi), 96),
               MulDiv(layout::kForm.pictureHeightPixels, static_cast<int>(dpi), 96), source, 0, 0,
               layout::kForm.pictureWidthPixels, layout::kForm.pictureHeightPixels, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
#ifndef PICTURE_ONLY
    const layout::ControlDesign* shape = layout::findControl("Shape1");
    const RECT r = win32::twipsToPixels(layout::rectInForm(*shape), dpi);
    HPEN pen = CreatePen(PS_SOLID, 1, win32::toColorRef(*shape->text));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, panelBrush);
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
#endif
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_ERASEBKGND:
            paintBackground(window, reinterpret_cast<HDC>(w));
            return 1;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            HDC dc = reinterpret_cast<HDC>(w);
            SetTextColor(dc, win32::toColorRef(layout::kPanelText));
            SetBkColor(dc, win32::toColorRef(layout::kPanelBack));
            return reinterpret_cast<LRESULT>(panelBrush);
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, w, l);
    }
}

#ifndef PICTURE_ONLY
// The controls as the launcher makes them: front to back, each of its standard class and style
// at its place, with its font and design value.
void createControls(HWND window, HINSTANCE instance) {
    HFONT font = win32::createFont(layout::kWindowFont, dpi);
    HFONT bold = win32::createFont(layout::kBoldFont, dpi);
    for (const std::size_t i : layout::stackingOrder()) {
        const layout::ControlDesign& c = layout::kControls[i];
        const win32::WindowKind kind = win32::windowKind(c);
        if (kind.className == nullptr)
            continue;  // the shape is painted with the background
        RECT r = win32::twipsToPixels(layout::rectInForm(c), dpi);
        if (c.kind == layout::Kind::DropDownList)
            r.bottom += (r.bottom - r.top) * static_cast<LONG>(layout::kDisplayModes.size());
        const std::string caption(c.kind == layout::Kind::DropDownList ? "" : c.caption);
        HWND control =
            CreateWindowExA(kind.exStyle, kind.className, caption.c_str(),
                            WS_CHILD | kind.style | (c.visible ? WS_VISIBLE : 0u), r.left, r.top,
                            r.right - r.left, r.bottom - r.top, window, nullptr, instance, nullptr);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(c.font.bold ? bold : font),
                     FALSE);
        if (c.kind == layout::Kind::DropDownList) {
            for (std::string_view mode : layout::kDisplayModes)
                SendMessageA(control, CB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(std::string(mode).c_str()));
        }
        if (c.kind == layout::Kind::CheckBox)
            SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(c.initialValue), 0);
        if (c.kind == layout::Kind::CheckBox || c.kind == layout::Kind::Frame)
            SetWindowTheme(control, L"", L"");
    }
}
#endif

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    phases.mark("winmain");
#ifndef PICTURE_ONLY
    INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&init);
#endif
    HDC screen = GetDC(nullptr);
    dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(nullptr, screen);
    picture = static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(VANTU_PICTURE_ID), IMAGE_BITMAP, 0, 0, 0));
    panelBrush = CreateSolidBrush(win32::toColorRef(layout::kPanelBack));

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
    RECT r{0, 0, win32::twipsToPixels(layout::kForm.clientWidth, dpi),
           win32::twipsToPixels(layout::kForm.clientHeight, dpi)};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    const std::string title(layout::kForm.caption);
    HWND window =
        CreateWindowExA(0, wc.lpszClassName, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                        r.right - r.left, r.bottom - r.top, owner, nullptr, instance, nullptr);
    phases.mark("window");
#ifndef PICTURE_ONLY
    createControls(window, instance);
#endif
    phases.mark("controls");
    phases.mark("config");
    ShowWindow(window, show);
    UpdateWindow(window);
    phases.mark("shown");
    if (std::getenv("VANTU_PHASES") != nullptr) {
        bench::handleMessagesUntilIdle();
        phases.finish("painted");
        ExitProcess(0);
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return 0;
}

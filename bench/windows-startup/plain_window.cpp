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

namespace {

namespace layout = vantu::layout;

__attribute__((init_priority(101))) bench::PhaseClock phases;
__attribute__((init_priority(101))) bench::StaticStart staticStart(phases);

HBITMAP picture = nullptr;
HBRUSH panelBrush = nullptr;
int dpi = 96;

int scaled(int twips) {
    return MulDiv(twips, dpi, 1440);
}

void paintBackground(HWND window, HDC dc) {
    RECT client{};
    GetClientRect(window, &client);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, picture);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, MulDiv(layout::kForm.pictureWidthPixels, dpi, 96),
               MulDiv(layout::kForm.pictureHeightPixels, dpi, 96), source, 0, 0,
               layout::kForm.pictureWidthPixels, layout::kForm.pictureHeightPixels, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
#ifndef PICTURE_ONLY
    const layout::ControlDesign* shape = layout::findControl("Shape1");
    RECT r{scaled(shape->left), scaled(shape->top), scaled(shape->left + shape->width),
           scaled(shape->top + shape->height)};
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
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
            SetTextColor(dc, RGB(255, 255, 255));
            SetBkColor(dc, RGB(64, 64, 64));
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
void createControls(HWND window, HINSTANCE instance) {
    const int height = -MulDiv(825, dpi, 7200);
    HFONT font = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                             "MS Sans Serif");
    HFONT bold = CreateFontA(height, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                             "MS Sans Serif");
    for (const layout::ControlDesign& c : layout::kControls) {
        const char* cls = "BUTTON";
        DWORD style = WS_CHILD | (c.visible ? WS_VISIBLE : 0);
        switch (c.kind) {
            case layout::Kind::PushButton:
                style |= BS_PUSHBUTTON | WS_TABSTOP;
                break;
            case layout::Kind::CheckBox:
                style |= BS_3STATE | WS_TABSTOP;
                break;
            case layout::Kind::Frame:
                style |= BS_GROUPBOX;
                break;
            case layout::Kind::DropDownList:
                cls = "COMBOBOX";
                style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
                break;
            case layout::Kind::TextBox:
                cls = "EDIT";
                style |= ES_MULTILINE | WS_TABSTOP;
                break;
            case layout::Kind::Label:
                cls = "STATIC";
                style |= SS_NOTIFY;
                break;
            case layout::Kind::Shape:
                continue;  // painted with the background
        }
        const bool inFrame = c.container == "Frame1";
        int left = c.left, top = c.top;
        if (inFrame) {
            const layout::ControlDesign* f = layout::findControl("Frame1");
            left += f->left;
            top += f->top;
        }
        const int h = c.kind == layout::Kind::DropDownList ? c.height * 8 : c.height;
        const std::string caption(c.caption);
        HWND control =
            CreateWindowExA(0, cls, caption.c_str(), style, scaled(left), scaled(top),
                            scaled(c.width), scaled(h), window, nullptr, instance, nullptr);
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
    dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    picture = static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(VANTU_PICTURE_ID), IMAGE_BITMAP, 0, 0, 0));
    panelBrush = CreateSolidBrush(RGB(64, 64, 64));

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
    RECT r{0, 0, scaled(layout::kForm.clientWidth), scaled(layout::kForm.clientHeight)};
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

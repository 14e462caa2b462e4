// The launcher window's painting: the background picture at the window's DPI, the shape behind
// every control, and the panel colours of the controls that have them.
#include "window/win32/win32_form.h"
#include "window/win32/win32_layout.h"

namespace vantu {

using layout::ControlDesign;
using layout::Kind;

void Win32Form::paint(HDC dc) const {
    RECT client{};
    GetClientRect(window_, &client);
    bool pictureDrawn = false;
    if (picture_ != nullptr) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(source, picture_);
        const int width = layout::kForm.pictureWidthPixels;
        const int height = layout::kForm.pictureHeightPixels;
        if (dpi_ == layout::kStandardDpi) {
            pictureDrawn = BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY) != FALSE;
        } else {
            // Scaled with the window, pixel by pixel, so it still covers the client area.
            SetStretchBltMode(dc, COLORONCOLOR);
            pictureDrawn =
                StretchBlt(dc, 0, 0, MulDiv(width, static_cast<int>(dpi_), layout::kStandardDpi),
                           MulDiv(height, static_cast<int>(dpi_), layout::kStandardDpi), source, 0,
                           0, width, height, SRCCOPY) != FALSE;
        }
        SelectObject(source, previous);
        DeleteDC(source);
    }
    if (!pictureDrawn)
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

    // The shape: filled, with a one-pixel outline, behind every control.
    for (const ControlDesign& design : layout::kControls) {
        if (design.kind != Kind::Shape)
            continue;
        RECT area = win32::twipsToPixels(layout::rectInForm(design), dpi_);
        if (design.back) {
            HBRUSH fill = CreateSolidBrush(win32::toColorRef(*design.back));
            FillRect(dc, &area, fill);
            DeleteObject(fill);
        }
        if (design.text) {
            HBRUSH outline = CreateSolidBrush(win32::toColorRef(*design.text));
            FrameRect(dc, &area, outline);
            DeleteObject(outline);
        }
    }
}

LRESULT Win32Form::panelColours(HDC dc, HWND control) {
    const std::size_t index = indexOf(control);
    if (index < controls_.size()) {
        const ControlDesign& design = layout::kControls[index];
        if (design.back && design.text) {
            // The text's background and the brush that fills the rest: both the control's own
            // colour, the brush being the device context's own.
            const COLORREF back = win32::toColorRef(*design.back);
            SetTextColor(dc, win32::toColorRef(*design.text));
            SetBkColor(dc, back);
            SetBkMode(dc, OPAQUE);
            SetDCBrushColor(dc, back);
            return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
        }
    }
    return DefWindowProcA(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(control));
}

}  // namespace vantu

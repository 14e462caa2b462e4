// The launcher window's painting: the background picture at the window's DPI, the shape behind
// every control, the panel colours of the controls that have them, and the focus ring.
#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "frontend/win32/common_controls.h"
#include "frontend/win32/win32_dpi.h"
#include "frontend/win32/win32_form.h"
#include "frontend/win32/win32_layout.h"
#include "window/focus_ring.h"

namespace vantu {
namespace {

constexpr UINT_PTR kRingSubclass = 3;

// The focus border the system asks for (Ease of Access: a thicker focus rectangle), in pixels at
// the window's DPI; 1 unless the player changed it.
int systemFocusBorder(UINT dpi) {
    UINT width = 0;
    UINT height = 0;
    if (!SystemParametersInfoA(SPI_GETFOCUSBORDERWIDTH, 0, &width, 0))
        width = 0;
    if (!SystemParametersInfoA(SPI_GETFOCUSBORDERHEIGHT, 0, &height, 0))
        height = 0;
    return MulDiv(static_cast<int>(std::max(width, height)), static_cast<int>(dpi),
                  static_cast<int>(systemDpi()));
}

// Where a static control or a group box draws its caption, in its own client coordinates: a
// label's text as DrawText lays it out from its top left corner, wrapped at its width; a group
// box's caption line, across its whole width (where along it the caption begins is the theme's
// choice).
RECT captionArea(HWND control, layout::Kind kind) {
    RECT client{};
    GetClientRect(control, &client);
    const int length = GetWindowTextLengthA(control);
    if (length == 0)
        return RECT{0, 0, 0, 0};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(control, text.data(), length + 1)));
    RECT area = client;
    HDC dc = GetDC(control);
    if (dc == nullptr)
        return client;
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    const UINT format = kind == layout::Kind::Label
                            ? DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK | DT_NOPREFIX
                            : DT_LEFT | DT_SINGLELINE | DT_NOPREFIX;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, format | DT_CALCRECT);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    if (kind != layout::Kind::Label) {
        area.left = client.left;
        area.right = client.right;
    }
    area.right = std::min(area.right, client.right);
    area.bottom = std::min(area.bottom, client.bottom);
    return area;
}

}  // namespace

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
    paintFocusRing(dc, POINT{0, 0});
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

std::size_t Win32Form::focusRingControl() const {
    const std::size_t index = indexOf(GetFocus());
    if (index >= controls_.size() || !layout::takesFocus(layout::kControls[index]) ||
        !IsWindowVisible(controls_[index]))
        return controls_.size();
    return cuesShown_ ? index : controls_.size();
}

void Win32Form::showFocusCues(bool shown) {
    // The ring follows a flag of its own, not the UI state: Wine neither hides that state's cues
    // nor lets an owned window change it, and the ring is to follow the same rule as on Linux.
    SendMessageA(window_, WM_CHANGEUISTATE, MAKEWPARAM(shown ? UIS_CLEAR : UIS_SET, UISF_HIDEFOCUS),
                 0);
    if (cuesShown_ == shown)
        return;
    cuesShown_ = shown;
    invalidateFocusRing(indexOf(GetFocus()));
}

std::optional<layout::Rect> Win32Form::focusRingBounds(std::size_t control) const {
    if (control >= controls_.size() || controls_[control] == nullptr)
        return std::nullopt;
    RECT place{};
    GetWindowRect(controls_[control], &place);
    MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&place), 2);
    return layout::Rect{place.left, place.top, place.right, place.bottom};
}

std::vector<layout::Rect> Win32Form::ringKeepClear(std::size_t focused) const {
    std::vector<layout::Rect> keep;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        HWND control = controls_[i];
        if (i == focused || control == nullptr || !IsWindowVisible(control))
            continue;
        const ControlDesign& design = layout::kControls[i];
        if (layout::takesFocus(design)) {
            keep.push_back(*focusRingBounds(i));
        } else if (design.kind == Kind::Label || design.kind == Kind::Frame) {
            RECT area = captionArea(control, design.kind);
            MapWindowPoints(control, window_, reinterpret_cast<POINT*>(&area), 2);
            keep.push_back({area.left, area.top, area.right, area.bottom});
        }
    }
    return keep;
}

void Win32Form::paintFocusRing(HDC dc, POINT origin) const {
    const std::size_t focused = focusRingControl();
    const std::optional<layout::Rect> control = focusRingBounds(focused);
    if (!control)
        return;
    const COLORREF previous = GetDCBrushColor(dc);
    const int dpi = static_cast<int>(dpi_);
    // Never over another control, nor over the text of a label or a frame's caption: where one
    // lies too close, the ring narrows on that side.
    const std::vector<layout::Rect> keepClear = ringKeepClear(focused);
    for (const layout::RingPiece& piece :
         layout::focusRing(*control, dpi, systemFocusBorder(dpi_), keepClear)) {
        const RECT r{piece.rect.left - origin.x, piece.rect.top - origin.y,
                     piece.rect.right - origin.x, piece.rect.bottom - origin.y};
        SetDCBrushColor(dc, win32::toColorRef(piece.colour));
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    SetDCBrushColor(dc, previous);
}

void Win32Form::invalidateFocusRing(std::size_t control) {
    const std::optional<layout::Rect> place = focusRingBounds(control);
    if (!place || window_ == nullptr)
        return;
    const layout::Rect ring =
        layout::focusRingBounds(*place, static_cast<int>(dpi_), systemFocusBorder(dpi_));
    const RECT area{ring.left, ring.top, ring.right, ring.bottom};
    // The controls under it too: a label or frame there paints its part of the ring.
    RedrawWindow(window_, &area, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void Win32Form::paintRingOver(HWND control) {
    win32::commonControls().setSubclass(control, ringOverProc, kRingSubclass,
                                        reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK Win32Form::ringOverProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR /*subclassId*/, DWORD_PTR self) {
    if (message == WM_NCDESTROY) {
        win32::commonControls().removeSubclass(control, ringOverProc, kRingSubclass);
        return win32::commonControls().defaultProc(control, message, wParam, lParam);
    }
    const LRESULT result = win32::commonControls().defaultProc(control, message, wParam, lParam);
    const auto* form = reinterpret_cast<const Win32Form*>(self);
    if (message != WM_PAINT || form == nullptr || form->window_ == nullptr)
        return result;
    try {
        // Over the control's own painting, in its device context: clipped to what of it is seen,
        // so the controls in front of it keep their pixels.
        POINT origin{0, 0};
        MapWindowPoints(control, form->window_, &origin, 1);
        if (HDC dc = GetDC(control); dc != nullptr) {
            form->paintFocusRing(dc, origin);
            ReleaseDC(control, dc);
        }
    } catch (...) {
        // Nothing may unwind into Windows.
        std::terminate();
    }
    return result;
}

}  // namespace vantu

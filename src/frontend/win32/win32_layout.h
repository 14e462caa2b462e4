#pragma once

#include <windows.h>

#include "window/layout.h"

// The window's layout in Win32 terms: which standard control makes each kind of control, and
// twips, colours and fonts as GDI takes them.
namespace vantu::win32 {

// The window class, styles and extended styles of a control's window; no class for the shape,
// which the window paints itself.
struct WindowKind {
    const char* className;
    DWORD style;
    DWORD exStyle;
};
WindowKind windowKind(const layout::ControlDesign& design);

// A rectangle in twips in pixels at a DPI (layout::twipsToPixels for each side).
RECT twipsToPixels(const layout::Rect& twips, UINT dpi);

COLORREF toColorRef(layout::Rgb rgb);

// The font at a DPI; the caller deletes it.
HFONT createFont(const layout::FontDesign& design, UINT dpi);

}  // namespace vantu::win32

#include "frontend/win32/win32_layout.h"

#include <commctrl.h>

#include <cmath>
#include <string>

#include "window/form1.h"

namespace vantu::win32 {

using layout::Kind;

WindowKind windowKind(const layout::ControlDesign& design) {
    switch (design.kind) {
        case Kind::PushButton:
            // Never BS_DEFPUSHBUTTON: no button reacts to Enter unless it has the focus.
            return {WC_BUTTONA, BS_PUSHBUTTON | WS_TABSTOP, 0};
        case Kind::CheckBox:
            // Not an automatic box: the launcher decides the value a click gives (0, 1 or 2).
            return {WC_BUTTONA, BS_3STATE | WS_TABSTOP, 0};
        case Kind::DropDownList:
            return {WC_COMBOBOXA, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
        case Kind::TextBox:
            return {WC_EDITA, ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, WS_EX_CLIENTEDGE};
        case Kind::Frame:
            return {WC_BUTTONA, BS_GROUPBOX, 0};
        case Kind::Label: {
            // A label with a Click handler ("<<") is a notifying static, which reports clicks.
            const bool clickable = hasClickRoute(design.name);
            return {WC_STATICA, SS_LEFT | SS_NOPREFIX | (clickable ? SS_NOTIFY : 0u), 0};
        }
        case Kind::Shape:
            break;
    }
    return {nullptr, 0, 0};
}

RECT twipsToPixels(const layout::Rect& twips, UINT dpi) {
    const auto pixels = [dpi](int length) {
        return layout::twipsToPixels(length, static_cast<int>(dpi));
    };
    return {pixels(twips.left), pixels(twips.top), pixels(twips.right), pixels(twips.bottom)};
}

COLORREF toColorRef(layout::Rgb rgb) {
    return RGB(rgb.r, rgb.g, rgb.b);
}

HFONT createFont(const layout::FontDesign& design, UINT dpi) {
    const std::string family(design.family);
    const int height =
        -MulDiv(static_cast<int>(std::lround(design.points * 100)), static_cast<int>(dpi), 7200);
    return CreateFontA(height, 0, 0, 0, design.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, family.c_str());
}

}  // namespace vantu::win32

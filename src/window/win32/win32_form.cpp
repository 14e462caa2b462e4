#include "window/win32/win32_form.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <stdexcept>
#include <string>
#include <tuple>

#include "platform/windows/system_library.h"
#include "window/win32/resource_ids.h"
#include "window/win32/win32_dpi.h"

namespace vantu {
namespace {

using layout::ControlSpec;
using layout::Kind;

constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
constexpr DWORD kWindowExStyle = 0;
constexpr UINT_PTR kKeySubclass = 1;

COLORREF toColorRef(layout::Rgb rgb) {
    return RGB(rgb.r, rgb.g, rgb.b);
}

bool isFormName(std::string_view name) {
    return name == layout::kForm.name;
}

// A control's place in the window's client area, in twips: a control inside a frame is placed
// relative to the frame.
RECT designRect(const ControlSpec& design) {
    int left = design.left;
    int top = design.top;
    if (!isFormName(design.container)) {
        if (const ControlSpec* container = layout::findControl(design.container)) {
            left += container->left;
            top += container->top;
        }
    }
    return {left, top, left + design.width, top + design.height};
}

// Front to back, with the controls inside a frame directly in front of that frame.
std::vector<std::size_t> creationOrder() {
    auto key = [](std::size_t i) {
        const ControlSpec& c = layout::kControls[i];
        const ControlSpec* container =
            isFormName(c.container) ? nullptr : layout::findControl(c.container);
        return container != nullptr ? std::tuple(container->stackRank, 0, c.stackRank)
                                    : std::tuple(c.stackRank, 1, c.stackRank);
    };
    std::vector<std::size_t> order(layout::kControls.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
    return order;
}

struct WindowKind {
    const char* className;
    DWORD style;
    DWORD exStyle;
};

WindowKind windowKind(const ControlSpec& design, std::size_t index) {
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
            // Only "<<" has a Click handler; a notifying static reports clicks.
            const bool clickable = layout::kControls[index].name == "Label1";
            return {WC_STATICA, SS_LEFT | SS_NOPREFIX | (clickable ? SS_NOTIFY : 0u), 0};
        }
        case Kind::Shape:
            break;
    }
    return {nullptr, 0, 0};
}

HFONT createFont(const layout::FontSpec& design, UINT dpi) {
    const std::string family(design.family);
    const int height =
        -MulDiv(static_cast<int>(std::lround(design.points * 100)), static_cast<int>(dpi), 7200);
    return CreateFontA(height, 0, 0, 0, design.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, family.c_str());
}

// The functions the window uses from the common controls (version 6, as the manifest asks) and
// the theme library. Neither is imported: both are loaded from the system folder when the first
// window is made.
struct CommonControls {
    decltype(&SetWindowSubclass) setSubclass = nullptr;
    decltype(&RemoveWindowSubclass) removeSubclass = nullptr;
    decltype(&DefSubclassProc) defaultProc = nullptr;
    decltype(&SetWindowTheme) setTheme = nullptr;  // may be missing: the themes are cosmetic
};

const CommonControls& commonControls() {
    static const CommonControls functions = [] {
        CommonControls f;
        using Init = decltype(&InitCommonControlsEx);
        const auto init = systemFunction<Init>("comctl32.dll", "InitCommonControlsEx");
        const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
        if (init == nullptr || !init(&classes))
            return f;
        f.setSubclass =
            systemFunction<decltype(f.setSubclass)>("comctl32.dll", "SetWindowSubclass");
        f.removeSubclass =
            systemFunction<decltype(f.removeSubclass)>("comctl32.dll", "RemoveWindowSubclass");
        f.defaultProc = systemFunction<decltype(f.defaultProc)>("comctl32.dll", "DefSubclassProc");
        f.setTheme = systemFunction<decltype(f.setTheme)>("uxtheme.dll", "SetWindowTheme");
        // The theme library loads msimg32 late, when it first draws. Wine makes that late load
        // search the program's folder whatever the search was limited to, so it is loaded here,
        // from the system folder, and found loaded then.
        static_cast<void>(loadSystemDll("msimg32.dll"));
        return f;
    }();
    return functions;
}

bool keyDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

void registerClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXA cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = procedure;
    cls.hInstance = instance;
    cls.hIcon = static_cast<HICON>(LoadImageA(
        instance, MAKEINTRESOURCEA(VANTU_ICON_ID), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
        GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR | LR_SHARED));
    cls.hIconSm = static_cast<HICON>(LoadImageA(
        instance, MAKEINTRESOURCEA(VANTU_ICON_ID), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
        GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR | LR_SHARED));
    cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
    cls.hbrBackground = nullptr;  // the picture covers the whole client area
    cls.lpszClassName = Win32Form::kClassName;
    if (RegisterClassExA(&cls) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("cannot register the launcher's window class");
}

}  // namespace

Win32Form::Win32Form(HINSTANCE instance) : focusOrder_(layout::focusOrder()) {
    const CommonControls& common = commonControls();
    if (common.setSubclass == nullptr || common.removeSubclass == nullptr ||
        common.defaultProc == nullptr)
        throw std::runtime_error("cannot load the common controls (comctl32.dll)");

    registerClass(instance, windowProc);
    picture_ = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(VANTU_PICTURE_ID),
                                               IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    try {
        createOwner(instance);
        createWindow(instance);
        createFonts();
        createControls(instance);
    } catch (...) {
        release();
        throw;
    }
}

Win32Form::~Win32Form() {
    release();
}

void Win32Form::release() {
    if (window_ != nullptr) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
        window_ = nullptr;
    }
    if (owner_ != nullptr) {
        DestroyWindow(owner_);
        owner_ = nullptr;
    }
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(boldFont_),
                           static_cast<HGDIOBJ>(panelBrush_), static_cast<HGDIOBJ>(picture_)}) {
        if (object != nullptr)
            DeleteObject(object);
    }
    font_ = boldFont_ = nullptr;
    panelBrush_ = nullptr;
    picture_ = nullptr;
}

void Win32Form::createOwner(HINSTANCE instance) {
    // A window with an owner gets no taskbar button; the owner itself is never shown.
    owner_ = CreateWindowExA(0, WC_STATICA, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                             nullptr);
    if (owner_ == nullptr)
        throw std::runtime_error("cannot create the launcher's owner window");
}

void Win32Form::createWindow(HINSTANCE instance) {
    // The client area is 4980 x 5040 twips at the DPI the window opens with.
    dpi_ = systemDpi();
    RECT frame{0, 0, pixels(layout::kForm.clientWidth), pixels(layout::kForm.clientHeight)};
    adjustWindowRect(frame, kWindowStyle, kWindowExStyle, dpi_);
    const std::string caption(layout::kForm.caption);
    window_ = CreateWindowExA(kWindowExStyle, kClassName, caption.c_str(), kWindowStyle,
                              CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                              frame.bottom - frame.top, owner_, nullptr, instance, this);
    if (window_ == nullptr)
        throw std::runtime_error("cannot create the launcher window");

    // On another monitor than the primary one the window may have its own DPI.
    const UINT actual = windowDpi(window_);
    if (actual != dpi_) {
        dpi_ = actual;
        RECT resized{0, 0, pixels(layout::kForm.clientWidth), pixels(layout::kForm.clientHeight)};
        adjustWindowRect(resized, kWindowStyle, kWindowExStyle, dpi_);
        SetWindowPos(window_, nullptr, 0, 0, resized.right - resized.left,
                     resized.bottom - resized.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Win32Form::createControls(HINSTANCE instance) {
    for (std::size_t i : creationOrder()) {
        const ControlSpec& design = layout::kControls[i];
        const WindowKind kind = windowKind(design, i);
        if (kind.className == nullptr)
            continue;  // the shape is painted by the window itself
        if (design.back && !panelBrush_)
            panelBrush_ = CreateSolidBrush(toColorRef(*design.back));

        const std::string caption(design.kind == Kind::DropDownList ? "" : design.caption);
        const DWORD style =
            WS_CHILD | WS_CLIPSIBLINGS | kind.style | (design.visible ? WS_VISIBLE : 0u);
        const RECT place = designRect(design);
        HWND control = CreateWindowExA(
            kind.exStyle, kind.className, caption.c_str(), style, pixels(place.left),
            pixels(place.top), pixels(design.width), pixels(design.height), window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + static_cast<int>(i))),
            instance, nullptr);
        if (control == nullptr)
            throw std::runtime_error("cannot create the control " + std::string(design.name));
        // A new control goes behind the ones made before it: creation runs front to back.
        controls_[i] = control;
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(design)), FALSE);

        switch (design.kind) {
            case Kind::CheckBox:
                SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(design.initialValue), 0);
                [[fallthrough]];
            case Kind::Frame:
                // Visual styles would draw these captions in their own colour, not white.
                if (commonControls().setTheme != nullptr)
                    commonControls().setTheme(control, L"", L"");
                break;
            case Kind::DropDownList:
                for (std::string_view mode : layout::kDisplayModes) {
                    const std::string entry(mode);
                    SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
                }
                SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(design.initialValue), 0);
                placeList(control, design);
                break;
            default:
                break;
        }
        if (layout::takesFocus(design))
            commonControls().setSubclass(control, controlProc, kKeySubclass,
                                         reinterpret_cast<DWORD_PTR>(this));
    }
}

void Win32Form::createFonts() {
    font_ = createFont(layout::kWindowFont, dpi_);
    boldFont_ = createFont(layout::kBoldFont, dpi_);
}

HFONT Win32Form::fontOf(const ControlSpec& design) const {
    return design.font.bold ? boldFont_ : font_;
}

void Win32Form::applyDpi(UINT dpi) {
    dpi_ = dpi;
    const HFONT oldFont = font_;
    const HFONT oldBold = boldFont_;
    createFonts();
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        HWND control = controls_[i];
        if (control == nullptr)
            continue;
        const ControlSpec& design = layout::kControls[i];
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(design)), FALSE);
        if (design.kind == Kind::DropDownList) {
            placeList(control, design);
        } else {
            const RECT place = designRect(design);
            SetWindowPos(control, nullptr, pixels(place.left), pixels(place.top),
                         pixels(design.width), pixels(design.height),
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    for (HFONT old : {oldFont, oldBold}) {
        if (old != nullptr)
            DeleteObject(old);
    }
}

// The closed list is as high as the layout says; its selection field grows or shrinks to make it
// so (the field follows the font, so this is done after every font change). The open list shows
// every entry.
void Win32Form::placeList(HWND list, const ControlSpec& design) {
    const RECT place = designRect(design);
    const int height = pixels(design.height);
    // Windows gives back the height that was set; Wine gives back 2 more, so the field is
    // corrected from what was set, by what the closed list then measures.
    const int entries = static_cast<int>(layout::kDisplayModes.size());
    LRESULT field = SendMessageA(list, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const LRESULT item = SendMessageA(list, CB_GETITEMHEIGHT, 0, 0);
        const int open = height + entries * static_cast<int>(item > 0 ? item : height) + 2;
        SetWindowPos(list, nullptr, pixels(place.left), pixels(place.top), pixels(design.width),
                     open, SWP_NOZORDER | SWP_NOACTIVATE);
        RECT closed{};
        GetWindowRect(list, &closed);
        const int difference = height - (closed.bottom - closed.top);
        if (difference == 0 || field == CB_ERR || field + difference <= 0)
            break;
        field += difference;
        SendMessageA(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
}

HWND Win32Form::control(std::string_view name) const {
    for (std::size_t i = 0; i < layout::kControls.size(); ++i) {
        if (layout::kControls[i].name == name)
            return controls_[i];
    }
    return nullptr;
}

std::size_t Win32Form::indexOf(HWND control) const {
    if (control == nullptr)
        return controls_.size();
    return static_cast<std::size_t>(std::find(controls_.begin(), controls_.end(), control) -
                                    controls_.begin());
}

int Win32Form::pixels(int twips) const {
    return MulDiv(twips, static_cast<int>(dpi_), 1440);
}

void Win32Form::show(int showCommand) {
    ShowWindow(window_, showCommand);
    if (!focusOrder_.empty())
        SetFocus(controls_[focusOrder_.front()]);
    UpdateWindow(window_);
}

void Win32Form::moveFocus(bool forward) {
    if (focusOrder_.empty())
        return;
    const std::size_t current = indexOf(GetFocus());
    const auto at = std::find(focusOrder_.begin(), focusOrder_.end(), current);
    std::size_t next;
    if (at == focusOrder_.end()) {
        next = forward ? 0 : focusOrder_.size() - 1;
    } else {
        const auto position = static_cast<std::size_t>(at - focusOrder_.begin());
        next = forward ? (position + 1) % focusOrder_.size()
                       : (position + focusOrder_.size() - 1) % focusOrder_.size();
    }
    // Moving by keyboard shows where the focus is, as in a dialog.
    SendMessageA(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    SetFocus(controls_[focusOrder_[next]]);
}

LRESULT CALLBACK Win32Form::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* self = static_cast<Win32Form*>(create->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    try {
        return self->handle(message, wParam, lParam);
    } catch (...) {
        // The handlers report their own failures; nothing may unwind into Windows.
        std::terminate();
    }
}

LRESULT Win32Form::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers everything
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window_, &ps);
            paint(dc);
            EndPaint(window_, &ps);
            return 0;
        }
        case WM_CTLCOLORSTATIC:
            return panelColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_COMMAND:
            command(wParam, lParam);
            return 0;
        case WM_ACTIVATE:
            // Like a dialog, the window gives the focus back to the control that had it.
            if (LOWORD(wParam) == WA_INACTIVE) {
                if (indexOf(GetFocus()) < controls_.size())
                    lastFocus_ = GetFocus();
            } else {
                HWND target = lastFocus_ != nullptr ? lastFocus_
                              : focusOrder_.empty() ? nullptr
                                                    : controls_[focusOrder_.front()];
                if (target != nullptr)
                    SetFocus(target);
            }
            return 0;
        case WM_KEYDOWN:
            // The window itself has the focus only when no control took it.
            if (wParam == VK_TAB && !keyDown(VK_CONTROL) && !keyDown(VK_MENU)) {
                moveFocus(!keyDown(VK_SHIFT));
                return 0;
            }
            break;
        case WM_DPICHANGED: {
            applyDpi(LOWORD(wParam));
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            return 0;
        }
        case WM_CLOSE:
            // The player closed the window: the message loop ends, and with it the launcher,
            // which writes nothing. The window goes with the process.
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY: {
            HWND window = window_;
            window_ = nullptr;
            return DefWindowProcA(window, message, wParam, lParam);
        }
        default:
            break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void Win32Form::paint(HDC dc) const {
    RECT client{};
    GetClientRect(window_, &client);
    bool pictureDrawn = false;
    if (picture_ != nullptr) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(source, picture_);
        const int width = layout::kForm.pictureWidthPixels;
        const int height = layout::kForm.pictureHeightPixels;
        if (dpi_ == 96) {
            pictureDrawn = BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY) != FALSE;
        } else {
            // Scaled with the window, pixel by pixel, so it still covers the client area.
            SetStretchBltMode(dc, COLORONCOLOR);
            pictureDrawn = StretchBlt(dc, 0, 0, MulDiv(width, static_cast<int>(dpi_), 96),
                                      MulDiv(height, static_cast<int>(dpi_), 96), source, 0, 0,
                                      width, height, SRCCOPY) != FALSE;
        }
        SelectObject(source, previous);
        DeleteDC(source);
    }
    if (!pictureDrawn)
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

    // The shape: filled, with a one-pixel outline, behind every control.
    for (const ControlSpec& design : layout::kControls) {
        if (design.kind != Kind::Shape)
            continue;
        const RECT place = designRect(design);
        RECT area{pixels(place.left), pixels(place.top), pixels(place.right), pixels(place.bottom)};
        if (design.back) {
            HBRUSH fill = CreateSolidBrush(toColorRef(*design.back));
            FillRect(dc, &area, fill);
            DeleteObject(fill);
        }
        if (design.text) {
            HBRUSH outline = CreateSolidBrush(toColorRef(*design.text));
            FrameRect(dc, &area, outline);
            DeleteObject(outline);
        }
    }
}

LRESULT Win32Form::panelColours(HDC dc, HWND control) {
    const std::size_t index = indexOf(control);
    if (index < controls_.size() && panelBrush_ != nullptr) {
        const ControlSpec& design = layout::kControls[index];
        if (design.back && design.text) {
            SetTextColor(dc, toColorRef(*design.text));
            SetBkColor(dc, toColorRef(*design.back));
            SetBkMode(dc, OPAQUE);
            return reinterpret_cast<LRESULT>(panelBrush_);
        }
    }
    return DefWindowProcA(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(control));
}

void Win32Form::command(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (lParam == 0 || listener_ == nullptr || id < kFirstControlId)
        return;  // menus and accelerators: the window has none
    const auto index = static_cast<std::size_t>(id - kFirstControlId);
    if (index >= controls_.size() || controls_[index] != reinterpret_cast<HWND>(lParam))
        return;
    switch (layout::kControls[index].kind) {
        case Kind::PushButton:
        case Kind::CheckBox:
            if (code == BN_CLICKED)
                listener_->controlClicked(index);
            break;
        case Kind::Label:
            if (code == STN_CLICKED)
                listener_->controlClicked(index);
            break;
        case Kind::DropDownList:
            if (code == CBN_SELCHANGE)
                listener_->listSelectionChanged();
            break;
        default:
            break;
    }
}

LRESULT CALLBACK Win32Form::controlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR /*subclassId*/, DWORD_PTR self) {
    try {
        auto* form = reinterpret_cast<Win32Form*>(self);
        if (message == WM_NCDESTROY) {
            commonControls().removeSubclass(control, controlProc, kKeySubclass);
        } else if (form != nullptr && form->handleControlKey(control, message, wParam)) {
            return 0;
        }
    } catch (...) {
        std::terminate();
    }
    return commonControls().defaultProc(control, message, wParam, lParam);
}

// Keys the window handles for its controls, as a dialog would, but in tab-index order and with
// no default or cancel button. Returns whether the key was used up.
bool Win32Form::handleControlKey(HWND control, UINT message, WPARAM wParam) {
    const std::size_t index = indexOf(control);
    if (index >= controls_.size())
        return false;
    const Kind kind = layout::kControls[index].kind;
    const bool plain = !keyDown(VK_CONTROL) && !keyDown(VK_MENU);
    if (message == WM_CHAR) {
        // Tab and Enter have been handled as keys; their characters would only beep or search
        // the list.
        return wParam == '\t' || (wParam == '\r' && kind == Kind::PushButton);
    }
    if (message != WM_KEYDOWN || !plain)
        return false;
    switch (wParam) {
        case VK_TAB:
            moveFocus(!keyDown(VK_SHIFT));
            return true;
        case VK_RETURN:
            if (kind == Kind::PushButton && !keyDown(VK_SHIFT)) {
                SendMessageA(window_, WM_COMMAND,
                             MAKEWPARAM(kFirstControlId + static_cast<int>(index), BN_CLICKED),
                             reinterpret_cast<LPARAM>(control));
                return true;
            }
            return false;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
            // In the list the arrows change the selection; elsewhere they move the focus.
            if (kind == Kind::DropDownList)
                return false;
            moveFocus(wParam == VK_RIGHT || wParam == VK_DOWN);
            return true;
        default:
            return false;
    }
}

}  // namespace vantu

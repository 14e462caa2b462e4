// The launcher window's building: its class, the hidden owner, the window and its controls in
// stacking order, their fonts and places at the window's DPI, and the routing of its messages.
// The painting is in win32_form_paint.cpp, the keyboard in win32_form_keyboard.cpp.
#include "frontend/win32/win32_form.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "frontend/win32/common_controls.h"
#include "frontend/win32/resource_ids.h"
#include "frontend/win32/win32_accessibility.h"
#include "frontend/win32/win32_dpi.h"
#include "frontend/win32/win32_layout.h"

namespace vantu {
namespace {

using layout::ControlDesign;
using layout::Kind;

constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
constexpr DWORD kWindowExStyle = 0;

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
    static_cast<void>(win32::commonControls());
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
    win32::endAccessibility();
    if (owner_ != nullptr) {
        DestroyWindow(owner_);
        owner_ = nullptr;
    }
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(boldFont_),
                           static_cast<HGDIOBJ>(picture_)}) {
        if (object != nullptr)
            DeleteObject(object);
    }
    font_ = boldFont_ = nullptr;
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
    RECT frame{0, 0, twipsToPixels(layout::kForm.clientWidth),
               twipsToPixels(layout::kForm.clientHeight)};
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
        RECT resized{0, 0, twipsToPixels(layout::kForm.clientWidth),
                     twipsToPixels(layout::kForm.clientHeight)};
        adjustWindowRect(resized, kWindowStyle, kWindowExStyle, dpi_);
        SetWindowPos(window_, nullptr, 0, 0, resized.right - resized.left,
                     resized.bottom - resized.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Win32Form::createControls(HINSTANCE instance) {
    for (std::size_t i : layout::stackingOrder()) {
        const ControlDesign& design = layout::kControls[i];
        const win32::WindowKind kind = win32::windowKind(design);
        if (kind.className == nullptr)
            continue;  // the shape is painted by the window itself

        const std::string caption(design.kind == Kind::DropDownList ? "" : design.caption);
        const DWORD style =
            WS_CHILD | WS_CLIPSIBLINGS | kind.style | (design.visible ? WS_VISIBLE : 0u);
        const RECT place = win32::twipsToPixels(layout::rectInForm(design), dpi_);
        HWND control = CreateWindowExA(
            kind.exStyle, kind.className, caption.c_str(), style, place.left, place.top,
            place.right - place.left, place.bottom - place.top, window_,
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
                if (win32::commonControls().setTheme != nullptr)
                    win32::commonControls().setTheme(control, L"", L"");
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
            handleKeysOf(control);
        paintRingOver(control);
        if (layout::findAccessible(design.name) != nullptr)
            win32::nameForAccessibility(control, layout::accessibleName(design),
                                        design.kind == Kind::DropDownList);
    }
}

void Win32Form::createFonts() {
    font_ = win32::createFont(layout::kWindowFont, dpi_);
    boldFont_ = win32::createFont(layout::kBoldFont, dpi_);
}

HFONT Win32Form::fontOf(const ControlDesign& design) const {
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
        const ControlDesign& design = layout::kControls[i];
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(design)), FALSE);
        if (design.kind == Kind::DropDownList) {
            placeList(control, design);
        } else {
            const RECT place = win32::twipsToPixels(layout::rectInForm(design), dpi_);
            SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left,
                         place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
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
void Win32Form::placeList(HWND list, const ControlDesign& design) {
    const RECT place = win32::twipsToPixels(layout::rectInForm(design), dpi_);
    const int height = twipsToPixels(design.height);
    // Windows gives back the height that was set; Wine gives back 2 more, so the field is
    // corrected from what was set, by what the closed list then measures.
    const int entries = static_cast<int>(layout::kDisplayModes.size());
    LRESULT field = SendMessageA(list, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const LRESULT item = SendMessageA(list, CB_GETITEMHEIGHT, 0, 0);
        const int open = height + entries * static_cast<int>(item > 0 ? item : height) + 2;
        SetWindowPos(list, nullptr, place.left, place.top, place.right - place.left, open,
                     SWP_NOZORDER | SWP_NOACTIVATE);
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
    const std::size_t i = layout::indexOf(name);
    return i < controls_.size() ? controls_[i] : nullptr;
}

std::size_t Win32Form::indexOf(HWND control) const {
    if (control == nullptr)
        return controls_.size();
    return static_cast<std::size_t>(std::find(controls_.begin(), controls_.end(), control) -
                                    controls_.begin());
}

int Win32Form::twipsToPixels(int twips) const {
    return layout::twipsToPixels(twips, static_cast<int>(dpi_));
}

void Win32Form::show(int showCommand) {
    ShowWindow(window_, showCommand);
    if (!focusOrder_.empty())
        SetFocus(controls_[focusOrder_.front()]);
    UpdateWindow(window_);
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
        case WM_PARENTNOTIFY:
            // A mouse click on a control, as on the window below, hides the focus cues until the
            // keyboard or a pad is used again.
            if (LOWORD(wParam) == WM_LBUTTONDOWN || LOWORD(wParam) == WM_RBUTTONDOWN ||
                LOWORD(wParam) == WM_MBUTTONDOWN)
                showFocusCues(false);
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            showFocusCues(false);
            break;
        case WM_COMMAND:
            command(wParam, lParam);
            return 0;
        case WM_ACTIVATE:
            activated(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case WM_KEYDOWN:
            // The window itself has the focus only when no control took it.
            if (handleWindowKey(wParam))
                return 0;
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

}  // namespace vantu

// The launcher window's keyboard, as a dialog manager would run it but by the layout's tab index
// and with no default or cancel button: Tab and Shift+Tab, the arrows on buttons and check boxes,
// Enter and Space on push buttons, and the focus given back when the window is activated.
#include <algorithm>
#include <exception>

#include "frontend/win32/common_controls.h"
#include "frontend/win32/win32_form.h"

namespace vantu {
namespace {

using layout::Kind;

constexpr UINT_PTR kKeySubclass = 1;

bool keyDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

}  // namespace

void Win32Form::handleKeysOf(HWND control) {
    win32::commonControls().setSubclass(control, controlProc, kKeySubclass,
                                        reinterpret_cast<DWORD_PTR>(this));
}

void Win32Form::activated(bool active) {
    // Like a dialog, the window gives the focus back to the control that had it.
    if (!active) {
        if (indexOf(GetFocus()) < controls_.size())
            lastFocus_ = GetFocus();
        return;
    }
    HWND target = lastFocus_ != nullptr ? lastFocus_
                  : focusOrder_.empty() ? nullptr
                                        : controls_[focusOrder_.front()];
    if (target != nullptr)
        SetFocus(target);
}

bool Win32Form::handleWindowKey(WPARAM key) {
    if (key != VK_TAB || keyDown(VK_CONTROL) || keyDown(VK_MENU))
        return false;
    moveFocus(!keyDown(VK_SHIFT));
    return true;
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
    showFocusCues(true);
    SetFocus(controls_[focusOrder_[next]]);
}

LRESULT CALLBACK Win32Form::controlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR /*subclassId*/, DWORD_PTR self) {
    try {
        auto* form = reinterpret_cast<Win32Form*>(self);
        if (message == WM_NCDESTROY) {
            win32::commonControls().removeSubclass(control, controlProc, kKeySubclass);
        } else if (form != nullptr && (message == WM_SETFOCUS || message == WM_KILLFOCUS)) {
            form->invalidateFocusRing(form->indexOf(control));
        } else if (form != nullptr && form->handleControlKey(control, message, wParam)) {
            return 0;
        }
    } catch (...) {
        std::terminate();
    }
    return win32::commonControls().defaultProc(control, message, wParam, lParam);
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

#include "frontend/win32/win32_controls.h"

#include <optional>
#include <string>

#include "window/layout.h"

namespace vantu {
Win32Controls::Win32Controls(Win32Form& form)
    : form_(form),
      list_(requireControl(form.control("Combo1"), "Combo1")),
      text2Box_(requireControl(form.control("Text2"), "Text2")) {
    for (int n = 1; n <= kCheckBoxCount; ++n) {
        const std::string_view name = layout::checkBoxDesign(checkBoxByNumber(n)).name;
        checks_[static_cast<std::size_t>(n - 1)] = requireControl(form.control(name), name);
    }
    knownIndex_ = readListIndex();
    form_.setListener(this);
}

Win32Controls::~Win32Controls() {
    form_.setListener(nullptr);
}

HWND Win32Controls::box(CheckBox which) const {
    const int n = checkBoxNumber(which);
    if (n < 1 || n > kCheckBoxCount)
        throw ControlError("no such check box");
    return checks_[static_cast<std::size_t>(n - 1)];
}

void Win32Controls::controlClicked(std::size_t control) {
    if (control >= layout::kControls.size())
        return;
    if (const std::optional<CheckBox> box = layout::checkBoxAt(control)) {
        playerChange([this, which = *box] {
            writeCheck(which, clickedValue(readCheck(which)));
            playerChangedCheck(which);
        });
        return;
    }
    playerClicked(layout::kControls[control].name);
}

void Win32Controls::listSelectionChanged() {
    playerChange([this] {
        const std::int16_t index = readListIndex();
        if (index == knownIndex_)
            return;
        knownIndex_ = index;
        playerChangedList();
    });
}

std::int16_t Win32Controls::readCheck(CheckBox which) const {
    const LRESULT state = SendMessageA(box(which), BM_GETCHECK, 0, 0);
    if (!isCheckValue(static_cast<int>(state)))
        throw ControlError("check box state " + std::to_string(state));
    return static_cast<std::int16_t>(state);
}

void Win32Controls::writeCheck(CheckBox which, std::int16_t value) {
    SendMessageA(box(which), BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

std::int16_t Win32Controls::readListIndex() const {
    const LRESULT index = SendMessageA(list_, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return kNoSelection;
    if (!isListIndex(static_cast<double>(index)))
        throw ControlError("list selection " + std::to_string(index));
    return static_cast<std::int16_t>(index);
}

void Win32Controls::writeListIndex(std::int16_t index) {
    // -1 clears the selection; the index is one the list holds (checked by the caller).
    SendMessageA(list_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    knownIndex_ = readListIndex();
    if (knownIndex_ != index)
        throw ControlError("the list did not take index " + std::to_string(index));
}

// The box is never shown; it gets only the start of the text, up to its first NUL.
void Win32Controls::text2Changed() {
    const std::string shown = text2Start();
    SetWindowTextA(text2Box_, shown.c_str());
}

int Win32Controls::readOuterWidthPixels() const {
    RECT frame{};
    if (!GetWindowRect(form_.window(), &frame))
        throw ControlError("cannot read the window's width");
    return frame.right - frame.left;
}

void Win32Controls::writeOuterWidthPixels(int pixels) {
    RECT frame{};
    if (!GetWindowRect(form_.window(), &frame) ||
        !SetWindowPos(form_.window(), nullptr, 0, 0, pixels, frame.bottom - frame.top,
                      SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE))
        throw ControlError("cannot set the window's width to " + std::to_string(pixels) + " px");
}

int Win32Controls::pixelsPerInch() const {
    return static_cast<int>(form_.dpi());
}

}  // namespace vantu

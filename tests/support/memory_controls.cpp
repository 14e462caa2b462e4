#include "memory_controls.h"

#include "window/layout.h"

namespace vantu {
namespace {

std::size_t slot(CheckBox box) {
    return static_cast<std::size_t>(checkBoxNumber(box) - 1);
}

// The window's outer width at opening, in pixels: the client area and a 3-pixel dialog frame.
constexpr int kOpeningOuterWidth = layout::twipsToPixels(layout::kForm.clientWidth) + 6;

}  // namespace

MemoryControls::MemoryControls() : outerWidth_(kOpeningOuterWidth) {
    for (int n = 1; n <= kCheckBoxCount; ++n) {
        checks_[static_cast<std::size_t>(n - 1)] =
            layout::checkBoxDesign(checkBoxByNumber(n)).initialValue;
    }
}

std::int16_t MemoryControls::readCheck(CheckBox box) const {
    if (failRead_ == box)
        throw ControlError("check box value cannot be read");
    return checks_[slot(box)];
}

void MemoryControls::writeCheck(CheckBox box, std::int16_t value) {
    if (failSet_ == box)
        throw ControlError("check box refused its value");
    checks_[slot(box)] = value;
}

void MemoryControls::userClick(CheckBox box) {
    checks_[slot(box)] = clickedValue(checks_[slot(box)]);
    playerChangedCheck(box);
}

void MemoryControls::userPick(std::int16_t index) {
    if (index == listIndex_)
        return;
    listIndex_ = index;
    playerChangedList();
}

}  // namespace vantu

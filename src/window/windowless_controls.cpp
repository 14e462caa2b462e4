#include "window/windowless_controls.h"

#include "window/layout.h"

namespace vantu {
namespace {

std::size_t slot(CheckBox box) {
    return static_cast<std::size_t>(checkBoxNumber(box) - 1);
}

// The window's outer width at opening, in pixels: the client area and a 3-pixel dialog frame.
constexpr int kOpeningOuterWidth = layout::twipsToPixels(layout::kForm.clientWidth) + 6;

}  // namespace

WindowlessControls::WindowlessControls()
    : listIndex_(layout::findControl("Combo1")->initialValue), outerWidth_(kOpeningOuterWidth) {
    for (int n = 1; n <= kCheckBoxCount; ++n) {
        checks_[static_cast<std::size_t>(n - 1)] =
            layout::checkBoxDesign(checkBoxByNumber(n)).initialValue;
    }
}

std::int16_t WindowlessControls::readCheck(CheckBox box) const {
    return checks_[slot(box)];
}

void WindowlessControls::writeCheck(CheckBox box, std::int16_t value) {
    checks_[slot(box)] = value;
}

}  // namespace vantu

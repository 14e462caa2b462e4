#include "window/memory_controls.h"

#include <utility>

#include "window/layout.h"

namespace vantu {
namespace {

std::size_t slot(CheckBox box) {
    return static_cast<std::size_t>(checkBoxNumber(box) - 1);
}

// The window's outer width at opening: the client area plus a typical 3-pixel dialog frame.
constexpr float kOpeningOuterWidth = static_cast<float>(layout::kForm.clientWidth + 6 * 15);

}  // namespace

MemoryControls::MemoryControls()
    : text2_(std::string(layout::findControl("Text2")->caption)), outerWidth_(kOpeningOuterWidth) {
    for (int n = 1; n <= kCheckBoxCount; ++n) {
        checks_[static_cast<std::size_t>(n - 1)] = layout::checkBoxDesignValue(n);
    }
}

std::int16_t MemoryControls::checkValue(CheckBox box) const {
    if (failRead_ == box)
        throw ControlError("check box value cannot be read");
    return checks_[slot(box)];
}

void MemoryControls::setCheckValue(CheckBox box, std::int16_t value) {
    if (failSet_ == box)
        throw ControlError("check box refused its value");
    if (!isCheckValue(value)) {
        throw ControlError("invalid check box value");
    }
    std::int16_t& current = checks_[slot(box)];
    if (current == value)
        return;
    current = value;
    if (events_ != nullptr)
        events_->checkClicked(box);
}

std::int16_t MemoryControls::listIndex() const {
    return listIndex_;
}

void MemoryControls::setListIndex(std::int16_t index) {
    if (!isListIndex(index)) {
        throw ControlError("invalid list index");
    }
    if (listIndex_ == index)
        return;
    listIndex_ = index;
    if (events_ != nullptr)
        events_->comboClicked();
}

void MemoryControls::setText2(std::string text) {
    text2_.setText(std::move(text));
    ++text2Writes_;
}

void MemoryControls::setText2Trace(std::string content) {
    text2_.setTraceOf(std::move(content));
    ++text2Writes_;
}

void MemoryControls::userClick(CheckBox box) {
    setCheckValue(box, checkValue(box) == kChecked ? kUnchecked : kChecked);
}

void MemoryControls::userPick(std::int16_t index) {
    setListIndex(index);
}

}  // namespace vantu

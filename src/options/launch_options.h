#pragma once

#include <cstddef>
#include <cstdint>

#include "options/option_table.h"
#include "ports/controls.h"

namespace vantu {

// The row of kCheckOptions for a check box.
constexpr const CheckOption& checkOption(CheckBox box) {
    return kCheckOptions[static_cast<std::size_t>(checkBoxNumber(box) - 1)];
}

// The launch options as the logic sees them: the values live in the window's controls and are
// read from them afresh on every call; only the changed flag is kept here. One object lives as
// long as the launcher, so the flag is per launcher process. An option is read by its box.
class LaunchOptions {
  public:
    explicit LaunchOptions(Controls& controls) : controls_(controls) {}

    std::int16_t displayMode() const { return controls_.listIndex(); }
    std::int16_t check(CheckBox box) const { return controls_.checkValue(box); }

    // Writing goes to the control, which raises its Click (and so marks the options changed).
    void setDisplayMode(std::int16_t index) { controls_.setListIndex(index); }
    void setCheck(CheckBox box, std::int16_t value) { controls_.setCheckValue(box, value); }

    // 0 until the first change notification, then 1 for the rest of the process.
    std::int16_t optionsChanged() const { return optionsChanged_; }
    void markChanged() { optionsChanged_ = 1; }

  private:
    Controls& controls_;
    std::int16_t optionsChanged_ = 0;
};

}  // namespace vantu

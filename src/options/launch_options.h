#pragma once

#include <cstdint>

#include "ports/controls.h"

namespace vantu {

// The launch options as the logic sees them: the seven values live in the window's controls and
// are read from them afresh on every call; only the changed flag is kept here. One object lives
// as long as the launcher, so the flag is per launcher process.
class LaunchOptions {
  public:
    explicit LaunchOptions(Controls& controls) : controls_(controls) {}

    std::int16_t displayMode() const { return controls_.listIndex(); }
    std::int16_t windowMode() const { return check(CheckBox::Check1); }
    std::int16_t useShaders() const { return check(CheckBox::Check2); }
    std::int16_t advancedShadows() const { return check(CheckBox::Check3); }
    std::int16_t fireEffects() const { return check(CheckBox::Check4); }
    std::int16_t sceneryClouds() const { return check(CheckBox::Check5); }
    std::int16_t bulletsGlow() const { return check(CheckBox::Check6); }

    // Writing goes to the control, which raises its Click (and so marks the options changed).
    void setDisplayMode(std::int16_t index) { controls_.setListIndex(index); }
    void setCheck(CheckBox box, std::int16_t value) { controls_.setCheckValue(box, value); }
    std::int16_t check(CheckBox box) const { return controls_.checkValue(box); }

    // 0 until the first change notification, then 1 for the rest of the process.
    std::int16_t optionsChanged() const { return optionsChanged_; }
    void markChanged() { optionsChanged_ = 1; }

  private:
    Controls& controls_;
    std::int16_t optionsChanged_ = 0;
};

}  // namespace vantu

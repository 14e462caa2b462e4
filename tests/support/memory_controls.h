#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "window/windowless_controls.h"

namespace vantu {

// The launcher's controls without a window (WindowlessControls), with what tests add: the
// player's mouse, and failures on purpose. Used by the unit tests, the fuzz targets and the
// benchmarks.
class MemoryControls : public WindowlessControls {
  public:
    // What a player's mouse does: toggles a box, picks a list entry, or clicks the push button
    // or label of that name. Each goes through the router, as a front end's widgets do.
    void userClick(CheckBox box);
    void userPick(std::int16_t index);
    void userClick(std::string_view control) { playerClicked(control); }

    // Makes the controls fail on purpose, for tests of the failure paths: reading this box's
    // value throws, or setting it throws.
    void failReadingOf(std::optional<CheckBox> box) { failRead_ = box; }
    void failSettingOf(std::optional<CheckBox> box) { failSet_ = box; }

    // How many times Text2 was replaced (a load must not write it per character or field).
    int text2Writes() const { return text2Writes_; }

  protected:
    std::int16_t readCheck(CheckBox box) const override;
    void writeCheck(CheckBox box, std::int16_t value) override;
    void text2Changed() override { ++text2Writes_; }

  private:
    std::optional<CheckBox> failRead_;
    std::optional<CheckBox> failSet_;
    int text2Writes_ = 0;
};

// The values of the check boxes, Check1 first.
inline std::array<std::int16_t, kCheckBoxCount> checkValues(const Controls& controls) {
    std::array<std::int16_t, kCheckBoxCount> values{};
    for (int n = 1; n <= kCheckBoxCount; ++n)
        values[static_cast<std::size_t>(n - 1)] = controls.checkValue(checkBoxByNumber(n));
    return values;
}

}  // namespace vantu

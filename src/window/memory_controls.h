#pragma once

#include <array>
#include <optional>

#include "window/controls.h"
#include "window/text2_store.h"

namespace vantu {

// Controls kept in memory, with the window's design values, raising the same Click
// notifications as the real toolkits. Used by the unit tests and the benchmarks.
class MemoryControls : public Controls {
  public:
    MemoryControls();

    // Where Click notifications go; may be null (then changes raise nothing).
    void setEvents(ControlEvents* events) { events_ = events; }

    std::int16_t checkValue(CheckBox box) const override;
    void setCheckValue(CheckBox box, std::int16_t value) override;
    std::int16_t listIndex() const override;
    void setListIndex(std::int16_t index) override;
    const std::string& text2() const override { return text2_.text(); }
    void setText2(std::string text) override;
    void setText2Trace(std::string content) override;
    float outerWidthTwips() const override { return outerWidth_; }
    void setOuterWidthTwips(float twips) override { outerWidth_ = twips; }

    // What a player's mouse does: toggles a box between 0 and 1, or picks a list entry.
    void userClick(CheckBox box);
    void userPick(std::int16_t index);

    // Makes the controls fail on purpose, for tests of the failure paths: reading this box's
    // value throws, or setting it throws.
    void failReadingOf(std::optional<CheckBox> box) { failRead_ = box; }
    void failSettingOf(std::optional<CheckBox> box) { failSet_ = box; }

    // How many times Text2 was replaced (a load must not write it per character or field).
    int text2Writes() const { return text2Writes_; }

  private:
    ControlEvents* events_ = nullptr;
    std::array<std::int16_t, kCheckBoxCount> checks_;
    std::int16_t listIndex_ = kNoSelection;
    Text2Store text2_;
    float outerWidth_;
    std::optional<CheckBox> failRead_;
    std::optional<CheckBox> failSet_;
    int text2Writes_ = 0;
};

}  // namespace vantu

#pragma once

#include <array>
#include <cstdint>

#include "options/option_table.h"
#include "window/widget_controls.h"

namespace vantu {

// The window's controls with no window: their values kept in memory, opening with the window's
// design values. Everything else (the values accepted, one Click notification per change, Text2
// and the width in twips) is WidgetControls', as for the toolkits' widgets, so that the launcher's
// logic behaves over these exactly as over a window: "--play" runs the start-up and "Play" on
// them.
class WindowlessControls : public WidgetControls {
  public:
    WindowlessControls();

  protected:
    std::int16_t readCheck(CheckBox box) const override;
    void writeCheck(CheckBox box, std::int16_t value) override;
    std::int16_t readListIndex() const override { return listIndex_; }
    void writeListIndex(std::int16_t index) override { listIndex_ = index; }
    int readOuterWidthPixels() const override { return outerWidth_; }
    void writeOuterWidthPixels(int pixels) override { outerWidth_ = pixels; }

  private:
    std::array<std::int16_t, kCheckBoxCount> checks_;
    std::int16_t listIndex_;
    int outerWidth_;
};

}  // namespace vantu

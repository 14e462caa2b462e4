#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vantu {

// The option check boxes, numbered from 1 as the rows of kCheckOptions (options/option_table.h,
// which also counts them: kCheckBoxCount) and as the check boxes of the window's layout.
enum class CheckBox : std::uint8_t {};

constexpr CheckBox checkBoxByNumber(int number) {
    return static_cast<CheckBox>(number);
}
constexpr int checkBoxNumber(CheckBox box) {
    return static_cast<int>(box);
}

// Check-box values as the window stores them.
inline constexpr std::int16_t kUnchecked = 0;
inline constexpr std::int16_t kChecked = 1;
inline constexpr std::int16_t kGreyed = 2;

// Number of entries in the display-mode list (layout::kDisplayModes has the text of each); a
// valid selection is -1 (none) or 0..count-1.
inline constexpr std::int16_t kDisplayModeCount = 12;
inline constexpr std::int16_t kNoSelection = -1;

// The values the controls accept: every implementation and the reader check against these.
constexpr bool isCheckValue(int value) {
    return value == kUnchecked || value == kChecked || value == kGreyed;
}
constexpr bool isListIndex(double index) {
    return index >= kNoSelection && index < kDisplayModeCount;
}

// Raised by a control when it refuses a value, or fails to give or take one.
class ControlError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The Click notifications the controls raise back into the launcher's logic. A check box raises
// its Click whenever its value changes and the list whenever its selection changes, whether the
// player or the program made the change; the notification runs at once, nested in the setter.
class ControlEvents {
  public:
    virtual void checkClicked(CheckBox box) = 0;
    virtual void comboClicked() = 0;

  protected:
    ~ControlEvents() = default;
};

// The window's controls as the launcher's logic sees them. The controls are the one store of the
// option values: nothing keeps a copy. Every implementation derives from WidgetControls
// (window/widget_controls.h), which holds the behaviour they share.
class Controls {
  public:
    virtual ~Controls() = default;

    // Value of a check box: 0, 1 or 2 (greyed).
    virtual std::int16_t checkValue(CheckBox box) const = 0;
    // Accepts 0, 1 or 2 and raises the box's Click when the value changes; throws ControlError
    // for any other value.
    virtual void setCheckValue(CheckBox box, std::int16_t value) = 0;

    // Selected index of the display-mode list Combo1: -1 for none, else 0..11.
    virtual std::int16_t listIndex() const = 0;
    // Accepts -1 or 0..11 and raises Combo1's Click when the selection changes; throws
    // ControlError for any other index and leaves the selection as it was.
    virtual void setListIndex(std::int16_t index) = 0;

    // The whole text of the hidden text box Text2, byte for byte.
    virtual const std::string& text2() const = 0;
    virtual void setText2(std::string text) = 0;
    // Sets Text2 to the load trace of a configuration file's content (see loadTrace), which
    // implementations may render when the text is first read (Text2Store does).
    virtual void setText2Trace(std::string content) = 0;

    // The window's outer width (frame included) in twips; setting it keeps position and height.
    virtual float outerWidthTwips() const = 0;
    virtual void setOuterWidthTwips(float twips) = 0;
};

}  // namespace vantu

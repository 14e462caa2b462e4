#include "window/widget_controls.h"

#include <cmath>
#include <utility>

#include "window/control_router.h"
#include "window/layout.h"

namespace vantu {
namespace {

// Marks the program's own write, so that the widget's echo of it is not taken for the player's.
class ProgramWrite {
  public:
    explicit ProgramWrite(bool& flag) : flag_(flag) { flag_ = true; }
    ~ProgramWrite() { flag_ = false; }
    ProgramWrite(const ProgramWrite&) = delete;
    ProgramWrite& operator=(const ProgramWrite&) = delete;

  private:
    bool& flag_;
};

// Widths beyond this are no window any toolkit can make.
constexpr double kMaxWindowPixels = 32767;

}  // namespace

WidgetControls::WidgetControls() : text2_(std::string(layout::findControl("Text2")->caption)) {}

std::int16_t WidgetControls::checkValue(CheckBox box) const {
    return readCheck(box);
}

void WidgetControls::setCheckValue(CheckBox box, std::int16_t value) {
    if (!isCheckValue(value))
        throw ControlError("invalid check box value " + std::to_string(value));
    if (readCheck(box) == value)
        return;
    {
        const ProgramWrite writing(programWriting_);
        writeCheck(box, value);
    }
    if (events_ != nullptr)
        events_->checkClicked(box);
}

std::int16_t WidgetControls::listIndex() const {
    return readListIndex();
}

void WidgetControls::setListIndex(std::int16_t index) {
    if (!isListIndex(index))
        throw ControlError("invalid list index " + std::to_string(index));
    if (readListIndex() == index)
        return;
    {
        const ProgramWrite writing(programWriting_);
        writeListIndex(index);
    }
    if (events_ != nullptr)
        events_->comboClicked();
}

void WidgetControls::setText2(std::string text) {
    text2_.setText(std::move(text));
    text2Changed();
}

void WidgetControls::setText2Trace(std::string content) {
    text2_.setTraceOf(std::move(content));
    text2Changed();
}

float WidgetControls::outerWidthTwips() const {
    const int pixels = readOuterWidthPixels();
    const double size = layout::twipsPerPixel(pixelsPerInch());
    if (pixels == widthSet_.pixels && size == widthSet_.twipsPerPixel)
        return widthSet_.twips;
    return static_cast<float>(pixels * size);
}

void WidgetControls::setOuterWidthTwips(float twips) {
    const double size = layout::twipsPerPixel(pixelsPerInch());
    const double pixels = std::round(static_cast<double>(twips) / size);
    if (!(pixels >= 1 && pixels <= kMaxWindowPixels))
        throw ControlError("invalid window width " + std::to_string(twips));
    writeOuterWidthPixels(static_cast<int>(pixels));
    // What the window took: a window is never wider than the screen allows, for one.
    widthSet_ = {twips, readOuterWidthPixels(), size};
}

int WidgetControls::pixelsPerInch() const {
    return layout::kStandardDpi;
}

std::int16_t WidgetControls::clickedValue(std::int16_t current) {
    return current == kChecked ? kUnchecked : kChecked;
}

void WidgetControls::playerClicked(std::string_view control) {
    if (router_ != nullptr)
        router_->click(control);
}

void WidgetControls::playerChange(const std::function<void()>& change) {
    if (router_ != nullptr)
        router_->change(change);
    else
        change();
}

void WidgetControls::playerChangedCheck(CheckBox box) {
    if (!programWriting_ && events_ != nullptr)
        events_->checkClicked(box);
}

void WidgetControls::playerChangedList() {
    if (!programWriting_ && events_ != nullptr)
        events_->comboClicked();
}

}  // namespace vantu

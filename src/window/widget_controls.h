#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ports/controls.h"
#include "window/text2_store.h"

namespace vantu {

class ControlRouter;

// The widget a front end found for the control of that name, which it cannot do without: a
// window without it throws ControlError.
template <class Widget>
Widget requireControl(Widget widget, std::string_view name) {
    if (widget == nullptr)
        throw ControlError("the window has no control " + std::string(name));
    return widget;
}

// The behaviour every implementation of the controls shares, written once: the values the
// controls accept, one Click notification per change (raised nested in the setter, whether the
// program or the player made the change), Text2's byte-exact store and the conversion of the
// window's width to and from twips. A toolkit front end derives from this and only moves raw
// values between its widgets and these members.
class WidgetControls : public Controls {
  public:
    // The hidden widget of Text2 gets at most this many bytes of its text.
    static constexpr std::size_t kText2WidgetBytes = 4096;

    // Text2 starts with the design text of the window's layout.
    WidgetControls();

    // Where the Click notifications go; may be null (then changes raise nothing).
    void setEvents(ControlEvents* events) { events_ = events; }
    // Where the player's clicks and changes go (a ControlRouter sets itself while it lives); may
    // be null (then a change runs as it comes and a click runs nothing).
    void setRouter(const ControlRouter* router) { router_ = router; }

    std::int16_t checkValue(CheckBox box) const final;
    void setCheckValue(CheckBox box, std::int16_t value) final;
    std::int16_t listIndex() const final;
    void setListIndex(std::int16_t index) final;
    const std::string& text2() const final { return text2_.text(); }
    void setText2(std::string text) final;
    void setText2Trace(std::string content) final;
    float outerWidthTwips() const final;
    void setOuterWidthTwips(float twips) final;

    // The value a player's click gives a box that holds current: checked and unchecked swap, and
    // a greyed box becomes checked. The player never greys a box.
    static std::int16_t clickedValue(std::int16_t current);

  protected:
    ~WidgetControls() override = default;

    // A front end's widgets hand what the player does to the router, whatever the toolkit: a
    // click on the control of that name (a push button or a label), or a change to a check box
    // or the list, whose update (writing the widget where the toolkit does not, then
    // playerChangedCheck or playerChangedList) runs through the router.
    void playerClicked(std::string_view control);
    void playerChange(const std::function<void()>& change);

    // A front end calls these when the player has changed a widget and the widget already holds
    // the new value. They raise the control's Click. While the program itself is writing a
    // widget, they do nothing: the setter raises the one notification of that change.
    void playerChangedCheck(CheckBox box);
    void playerChangedList();

    // Raw access to the widgets. Values handed to the writers are already checked; a widget
    // that fails throws ControlError.
    virtual std::int16_t readCheck(CheckBox box) const = 0;
    virtual void writeCheck(CheckBox box, std::int16_t value) = 0;
    virtual std::int16_t readListIndex() const = 0;
    virtual void writeListIndex(std::int16_t index) = 0;

    // Text2's text changed: a front end with a widget for it shows text2Start() there.
    virtual void text2Changed() {}
    std::string text2Start() const { return text2_.start(kText2WidgetBytes); }

    // The window's outer width (frame included) in the toolkit's pixels, and those pixels' dots
    // per inch (96 unless the toolkit scales by its own). Setting the width keeps position and
    // height. A width that the window has as it was set reads back exactly as set, in twips.
    virtual int readOuterWidthPixels() const = 0;
    virtual void writeOuterWidthPixels(int pixels) = 0;
    virtual int pixelsPerInch() const;

  private:
    // The last width set, the width in pixels the window took from it and the pixel size then.
    // While the window keeps that width at that pixel size it reads back as the twips that were
    // set: a width in twips seldom survives the round trip through whole pixels (8250 twips at
    // 106 dots per inch are 607 px, which read back as 8246 twips), nor a screen too narrow for
    // it.
    struct WidthSet {
        float twips = 0;
        int pixels = 0;
        double twipsPerPixel = 0;
    };

    ControlEvents* events_ = nullptr;
    const ControlRouter* router_ = nullptr;
    Text2Store text2_;
    bool programWriting_ = false;
    WidthSet widthSet_;
};

}  // namespace vantu

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "options/option_table.h"
#include "ports/controls.h"

// The launcher window's layout as data: every front end builds Form1 from these tables, so the
// geometry, captions, colours and orders are written down once.
namespace vantu::layout {

// Lengths in the layout are in twips, 1/1440 inch. A pixel is 15 twips at 96 dots per inch, the
// density of Qt's device-independent pixels; a Win32 window converts at its own DPI.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kStandardDpi = 96;

// Twips in whole pixels at a DPI, rounded to the nearest with halves away from zero, as Win32's
// MulDiv rounds. Every figure of the layout is a whole number of pixels at 96 dots per inch.
constexpr int twipsToPixels(int twips, int dpi = kStandardDpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    const long long half = kTwipsPerInch / 2;
    return static_cast<int>((scaled < 0 ? scaled - half : scaled + half) / kTwipsPerInch);
}

// The size of one pixel in twips at a DPI.
constexpr double twipsPerPixel(int dpi = kStandardDpi) {
    return static_cast<double>(kTwipsPerInch) / dpi;
}

struct Rgb {
    std::uint8_t r, g, b;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

inline constexpr Rgb kPanelBack{64, 64, 64};
inline constexpr Rgb kPanelText{255, 255, 255};
inline constexpr Rgb kShapeOutline{128, 128, 128};

struct FontDesign {
    std::string_view family;
    double points;
    bool bold;
};

inline constexpr FontDesign kWindowFont{"MS Sans Serif", 8.25, false};
inline constexpr FontDesign kBoldFont{"MS Sans Serif", 8.25, true};

struct WindowDesign {
    std::string_view name;
    std::string_view caption;
    int clientWidth;   // twips, at opening
    int clientHeight;  // twips
    int narrowOuterWidth;
    int wideOuterWidth;
    int pictureWidthPixels;
    int pictureHeightPixels;
};

inline constexpr WindowDesign kForm{
    "Form1", "Vantu2: Copper Winds", 4980, 5040, 5160, 8250, 560, 350,
};

enum class Kind { PushButton, CheckBox, DropDownList, TextBox, Frame, Label, Shape };

inline constexpr int kNoTabIndex = -1;

struct ControlDesign {
    std::string_view name;
    Kind kind;
    std::string_view caption;      // caption, or initial text of a text box
    std::string_view container;    // "Form1" or the name of a frame
    int left, top, width, height;  // twips, relative to the container's client area
    int tabIndex;                  // kNoTabIndex for controls that have none
    bool visible;
    std::optional<Rgb> back;  // empty: the system's standard colours
    std::optional<Rgb> text;  // text colour; for the shape, its outline
    FontDesign font;
    std::int16_t initialValue;  // check boxes: design value; the list: selected index
    int stackRank;              // place in its container's stacking order, 0 at the front
};

// The controls, in the order of the window's design table.
inline constexpr auto kControls = std::to_array<ControlDesign>({
    // clang-format off
    {"Command1", Kind::PushButton,   "Play",                  "Form1",  2520, 4320, 2295,  495,  0, true,  {}, {}, kWindowFont, 0, 11},
    {"Command2", Kind::PushButton,   "Video Setup",           "Form1",  2520, 3720, 2295,  495,  5, true,  {}, {}, kWindowFont, 0,  7},
    {"Text2",    Kind::TextBox,      "Text2",                 "Form1",   240, 1800, 2295,  975, 13, false, {}, {}, kWindowFont, 0,  2},
    {"Command4", Kind::PushButton,   "Load Config",           "Form1",   240, 3000, 1215,  375, 14, false, {}, {}, kWindowFont, 0,  1},
    {"Command3", Kind::PushButton,   "Save Config",           "Form1",   240, 3480, 1215,  375, 15, false, {}, {}, kWindowFont, 0,  0},
    {"Shape1",   Kind::Shape,        "",                      "Form1",  5160,  240, 2895, 4695, kNoTabIndex, true, kPanelBack, kShapeOutline, kWindowFont, 0, 15},
    {"Frame1",   Kind::Frame,        "Video Setup",           "Form1",  5280,  360, 2655, 1575,  4, true,  kPanelBack, kPanelText, kWindowFont, 0, 12},
    {"Label2",   Kind::Label,        "Resolution",            "Frame1",  240,  360, 1455,  255,  7, true,  kPanelBack, kPanelText, kWindowFont, 0,  0},
    {"Combo1",   Kind::DropDownList, "",                      "Form1",  5520,  960, 2175,  315,  1, true,  {}, {}, kWindowFont, -1, 10},
    {"Check1",   Kind::CheckBox,     "Window mode",           "Form1",  5520, 1440, 2055,  255,  2, true,  kPanelBack, kPanelText, kWindowFont, 0,  9},
    {"Frame2",   Kind::Frame,        "Performance / Visual ", "Form1",  5280, 2160, 2655, 2295, 11, true,  kPanelBack, kPanelText, kWindowFont, 0, 13},
    {"Check2",   Kind::CheckBox,     "Use Shaders",           "Form1",  5640, 2520, 2055,  255,  3, true,  kPanelBack, kPanelText, kWindowFont, 1,  8},
    {"Check3",   Kind::CheckBox,     "Advanced Shadows",      "Form1",  5640, 2880, 2055,  255,  8, true,  kPanelBack, kPanelText, kWindowFont, 0,  6},
    {"Check4",   Kind::CheckBox,     "Engines / Fire effects","Form1",  5640, 3240, 2055,  255,  9, true,  kPanelBack, kPanelText, kWindowFont, 1,  5},
    {"Check5",   Kind::CheckBox,     "Scenery clouds",        "Form1",  5640, 3600, 2055,  255, 10, true,  kPanelBack, kPanelText, kWindowFont, 1,  4},
    {"Check6",   Kind::CheckBox,     "Bullets Glow",          "Form1",  5640, 3960, 2055,  255, 12, true,  kPanelBack, kPanelText, kWindowFont, 1,  3},
    {"Label1",   Kind::Label,        "<<",                    "Form1",  7680, 4560,  255,  255,  6, true,  kPanelBack, kPanelText, kBoldFont,   0, 14},
    // clang-format on
});

// The entries of the display-mode list Combo1, by index. They are shown to the player only; the
// list's valid indexes (ports/controls.h) and the game's switches follow kDisplayModeCount.
// clang-format off
inline constexpr auto kDisplayModes = std::to_array<std::string_view>({
    "800x600",       "1024x786",      "1280x1024",      "1400x1050",
    "1600x1200",     "1900x1200",     "Wide 1280x720 ", "Wide 1280x768",
    "Wide 1360x768", "Wide 1440x900", "Wide 1680x1050", "Wide 1920x1080",
});
// clang-format on
static_assert(kDisplayModes.size() == static_cast<std::size_t>(kDisplayModeCount),
              "one list entry per display mode");

// What a screen reader is told of the controls where a caption alone does not say it. Every
// other visible control is spoken by its caption; the picture and the shape are decoration and
// hidden controls are never exposed. A label that can be clicked is pressed like a button.
struct AccessibleDesign {
    std::string_view control;
    std::string_view name;        // empty: the caption, or the label's caption
    std::string_view labelledBy;  // the label that names it; its value stays its own
};

inline constexpr std::array<AccessibleDesign, 2> kAccessible{{
    {"Combo1", "", "Label2"},
    {"Label1", "Hide video setup", ""},
}};

// The accessible design of the control of that name, or nullptr when it has none of its own.
constexpr const AccessibleDesign* findAccessible(std::string_view name) {
    for (const AccessibleDesign& a : kAccessible) {
        if (a.control == name)
            return &a;
    }
    return nullptr;
}

// The index in kControls of the control of that name, or kControls.size().
constexpr std::size_t indexOf(std::string_view name) {
    std::size_t i = 0;
    while (i < kControls.size() && kControls[i].name != name)
        ++i;
    return i;
}

// The control of that name, or nullptr.
constexpr const ControlDesign* findControl(std::string_view name) {
    const std::size_t i = indexOf(name);
    return i < kControls.size() ? &kControls[i] : nullptr;
}

// A rectangle in twips; right and bottom are just outside it.
struct Rect {
    int left, top, right, bottom;
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

// A control's place in the window's client area: a control inside a frame is placed relative to
// the frame.
constexpr Rect rectInForm(const ControlDesign& c) {
    int left = c.left;
    int top = c.top;
    if (c.container != kForm.name) {
        if (const ControlDesign* frame = findControl(c.container)) {
            left += frame->left;
            top += frame->top;
        }
    }
    return {left, top, left + c.width, top + c.height};
}

// The name a screen reader speaks for a control: its accessible name, else its label's caption,
// else its own caption.
constexpr std::string_view accessibleName(const ControlDesign& c) {
    if (const AccessibleDesign* a = findAccessible(c.name)) {
        if (!a->name.empty())
            return a->name;
        if (const ControlDesign* label = findControl(a->labelledBy))
            return label->caption;
    }
    return c.caption;
}

// Every control front to back across the whole window, as indexes into kControls: by stacking
// rank, with the controls inside a frame directly in front of their frame.
std::vector<std::size_t> stackingOrder();

// Whether the player can give the control the keyboard focus: visible push buttons, check boxes
// and the list with a tab index. Labels, frames, the shape and hidden controls never take it.
constexpr bool takesFocus(const ControlDesign& c) {
    return c.visible && c.tabIndex != kNoTabIndex &&
           (c.kind == Kind::PushButton || c.kind == Kind::CheckBox || c.kind == Kind::DropDownList);
}

// The controls that take the focus, as indexes into kControls, in the order Tab moves through
// them (ascending tab index); the first one has the focus when the window opens.
std::vector<std::size_t> focusOrder();

// The option check boxes: CheckBox n of the controls is the n-th check box of kControls.
constexpr const ControlDesign& checkBoxDesign(CheckBox box) {
    int n = 0;
    for (const ControlDesign& c : kControls) {
        if (c.kind == Kind::CheckBox && ++n == checkBoxNumber(box))
            return c;
    }
    throw std::out_of_range("no such check box");
}

// The option check box that the control at that index in kControls is, if it is one.
constexpr std::optional<CheckBox> checkBoxAt(std::size_t index) {
    if (index >= kControls.size() || kControls[index].kind != Kind::CheckBox)
        return std::nullopt;
    int n = 1;
    for (std::size_t i = 0; i < index; ++i)
        n += kControls[i].kind == Kind::CheckBox ? 1 : 0;
    return checkBoxByNumber(n);
}

// The check boxes of the table are the options' boxes (options/option_table.h), one for each row
// and in the rows' order, so that CheckBox n is both row n and the n-th box here.
static_assert([] {
    int count = 0;
    for (const ControlDesign& c : kControls) {
        if (c.kind != Kind::CheckBox)
            continue;
        if (count == kCheckBoxCount || c.name != kCheckOptions[static_cast<std::size_t>(count)].box)
            return false;
        ++count;
    }
    return count == kCheckBoxCount;
}());

}  // namespace vantu::layout

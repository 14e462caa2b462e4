// The window's design figures, written out here independently of the layout table, so that a
// wrong caption, position, colour or entry text in the table fails.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "window/layout.h"

namespace vantu::layout {
namespace {

using ::testing::ElementsAre;

constexpr Rgb kDark{64, 64, 64};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kGrey{128, 128, 128};

struct Expected {
    const char* name;
    Kind kind;
    const char* caption;
    const char* container;
    int left, top, width, height;
    std::optional<int> tabIndex;
    bool visible;
    std::optional<Rgb> back, text;
    bool bold;
};

// clang-format off
const Expected kDesign[] = {
    {"Command1", Kind::PushButton,   "Play",                  "Form1",  2520, 4320, 2295,  495,  0, true,  {},    {},     false},
    {"Command2", Kind::PushButton,   "Video Setup",           "Form1",  2520, 3720, 2295,  495,  5, true,  {},    {},     false},
    {"Text2",    Kind::TextBox,      "Text2",                 "Form1",   240, 1800, 2295,  975, 13, false, {},    {},     false},
    {"Command4", Kind::PushButton,   "Load Config",           "Form1",   240, 3000, 1215,  375, 14, false, {},    {},     false},
    {"Command3", Kind::PushButton,   "Save Config",           "Form1",   240, 3480, 1215,  375, 15, false, {},    {},     false},
    {"Shape1",   Kind::Shape,        "",                      "Form1",  5160,  240, 2895, 4695, {}, true,  kDark, kGrey,  false},
    {"Frame1",   Kind::Frame,        "Video Setup",           "Form1",  5280,  360, 2655, 1575,  4, true,  kDark, kWhite, false},
    {"Label2",   Kind::Label,        "Resolution",            "Frame1",  240,  360, 1455,  255,  7, true,  kDark, kWhite, false},
    {"Combo1",   Kind::DropDownList, "",                      "Form1",  5520,  960, 2175,  315,  1, true,  {},    {},     false},
    {"Check1",   Kind::CheckBox,     "Window mode",           "Form1",  5520, 1440, 2055,  255,  2, true,  kDark, kWhite, false},
    {"Frame2",   Kind::Frame,        "Performance / Visual ", "Form1",  5280, 2160, 2655, 2295, 11, true,  kDark, kWhite, false},
    {"Check2",   Kind::CheckBox,     "Use Shaders",           "Form1",  5640, 2520, 2055,  255,  3, true,  kDark, kWhite, false},
    {"Check3",   Kind::CheckBox,     "Advanced Shadows",      "Form1",  5640, 2880, 2055,  255,  8, true,  kDark, kWhite, false},
    {"Check4",   Kind::CheckBox,     "Engines / Fire effects","Form1",  5640, 3240, 2055,  255,  9, true,  kDark, kWhite, false},
    {"Check5",   Kind::CheckBox,     "Scenery clouds",        "Form1",  5640, 3600, 2055,  255, 10, true,  kDark, kWhite, false},
    {"Check6",   Kind::CheckBox,     "Bullets Glow",          "Form1",  5640, 3960, 2055,  255, 12, true,  kDark, kWhite, false},
    {"Label1",   Kind::Label,        "<<",                    "Form1",  7680, 4560,  255,  255,  6, true,  kDark, kWhite, true},
};
// clang-format on

TEST(Layout, EveryControlHasItsDesignFigures) {
    ASSERT_EQ(kControls.size(), std::size(kDesign));
    for (const Expected& e : kDesign) {
        SCOPED_TRACE(e.name);
        const ControlDesign* c = findControl(e.name);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->kind, e.kind);
        EXPECT_EQ(c->caption, e.caption);
        EXPECT_EQ(c->container, e.container);
        EXPECT_THAT((std::vector<int>{c->left, c->top, c->width, c->height}),
                    ElementsAre(e.left, e.top, e.width, e.height));
        EXPECT_EQ(c->tabIndex, e.tabIndex.value_or(kNoTabIndex));
        EXPECT_EQ(c->visible, e.visible);
        EXPECT_EQ(c->back, e.back);
        EXPECT_EQ(c->text, e.text);
        EXPECT_EQ(c->font.family, "MS Sans Serif");
        EXPECT_EQ(c->font.points, 8.25);
        EXPECT_EQ(c->font.bold, e.bold);
    }
}

TEST(Layout, DesignValuesOfTheCheckBoxesAndTheList) {
    std::vector<int> checks;
    for (int n = 1; n <= 6; ++n)
        checks.push_back(checkBoxDesignValue(n));
    EXPECT_THAT(checks, ElementsAre(0, 1, 0, 1, 1, 1));
    EXPECT_EQ(findControl("Combo1")->initialValue, -1);
}

TEST(Layout, StackingOrderFrontToBack) {
    std::map<std::string, std::vector<std::string>> byContainer;
    std::vector<const ControlDesign*> sorted;
    for (const ControlDesign& c : kControls)
        sorted.push_back(&c);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](auto* a, auto* b) { return a->stackRank < b->stackRank; });
    for (const ControlDesign* c : sorted)
        byContainer[std::string(c->container)].push_back(std::string(c->name));
    EXPECT_THAT(byContainer["Form1"],
                ElementsAre("Command3", "Command4", "Text2", "Check6", "Check5", "Check4", "Check3",
                            "Command2", "Check2", "Check1", "Combo1", "Command1", "Frame1",
                            "Frame2", "Label1", "Shape1"));
    EXPECT_THAT(byContainer["Frame1"], ElementsAre("Label2"));
}

TEST(Layout, FocusGoesThroughTheVisibleInputControlsByTabIndex) {
    std::vector<std::string> names;
    for (const std::size_t i : focusOrder())
        names.emplace_back(kControls[i].name);
    EXPECT_THAT(names, ElementsAre("Command1", "Combo1", "Check1", "Check2", "Command2", "Check3",
                                   "Check4", "Check5", "Check6"));
}

TEST(Layout, TheTwelveDisplayModesByteForByte) {
    EXPECT_THAT(kDisplayModes,
                ElementsAre("800x600", "1024x786", "1280x1024", "1400x1050", "1600x1200",
                            "1900x1200", "Wide 1280x720 ", "Wide 1280x768", "Wide 1360x768",
                            "Wide 1440x900", "Wide 1680x1050", "Wide 1920x1080"));
}

TEST(Layout, TheWindow) {
    EXPECT_EQ(kForm.name, "Form1");
    EXPECT_EQ(kForm.caption, "Vantu2: Copper Winds");
    EXPECT_THAT((std::vector<int>{kForm.clientWidth, kForm.clientHeight, kForm.narrowOuterWidth,
                                  kForm.wideOuterWidth}),
                ElementsAre(4980, 5040, 5160, 8250));
    EXPECT_EQ(kForm.pictureWidthPixels, 560);
    EXPECT_EQ(kForm.pictureHeightPixels, 350);
    EXPECT_EQ(kWindowFont.family, "MS Sans Serif");
    EXPECT_EQ(kWindowFont.points, 8.25);
    EXPECT_FALSE(kWindowFont.bold);
}

}  // namespace
}  // namespace vantu::layout

// The layout table's own rules, so that a wrong figure in it fails: every control lies where the
// player can see it and inside what holds it, no two controls cover each other, the tab order
// is the design's, and the stacking keeps what lies on a frame or on the panel in front of it.
// (Whether each caption fits at the design font is measured with the real font in
// tests/qt/form_layout_test.cpp.)
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "contrast_ratio.h"
#include "window/focus_ring.h"
#include "window/layout.h"
#include "window/layout_shell.h"

namespace vantu::layout {
namespace {

using ::testing::ElementsAre;

bool inside(const Rect& inner, const Rect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// How far two rectangles overlap across and down (0 or less: apart).
std::pair<int, int> overlap(const Rect& a, const Rect& b) {
    return {std::min(a.right, b.right) - std::max(a.left, b.left),
            std::min(a.bottom, b.bottom) - std::max(a.top, b.top)};
}

// A control that others lie on: a frame or the panel's shape.
bool holdsOthers(const ControlDesign& c) {
    return c.kind == Kind::Frame || c.kind == Kind::Shape;
}

// The client areas: the narrow window's at opening, and the wide window's with the same frame.
constexpr Rect kNarrow{0, 0, kForm.clientWidth, kForm.clientHeight};
constexpr Rect kWide{0, 0, kForm.wideOuterWidth - (kForm.narrowOuterWidth - kForm.clientWidth),
                     kForm.clientHeight};

// The narrow window shows its buttons whole and nothing of the options panel; the wide one
// shows the whole panel, and every control lies on one or the other.
TEST(Layout, EveryControlLiesWholeInTheNarrowWindowOrOnThePanel) {
    const Rect panel = rectInForm(*findControl("Shape1"));
    EXPECT_TRUE(inside(panel, kWide));
    EXPECT_GE(panel.left, kNarrow.right);
    for (const ControlDesign& c : kControls) {
        SCOPED_TRACE(std::string(c.name));
        EXPECT_GT(c.width, 0);
        EXPECT_GT(c.height, 0);
        const Rect r = rectInForm(c);
        EXPECT_TRUE(inside(r, kNarrow) || inside(r, panel));
        if (c.container != kForm.name) {
            const ControlDesign* frame = findControl(c.container);
            ASSERT_NE(frame, nullptr);
            EXPECT_EQ(frame->kind, Kind::Frame);
            EXPECT_TRUE(inside(r, rectInForm(*frame)));
        }
    }
}

// Visible controls overlap only where one lies on a frame or the shape that encloses it, and a
// control so enclosed is stacked in front of it. A label's last pixel row may lie under the list
// below it, as in the design (its text ends well above it).
TEST(Layout, VisibleControlsDoNotCoverEachOther) {
    const std::vector<std::size_t> stack = stackingOrder();
    const auto depth = [&](std::size_t i) { return std::find(stack.begin(), stack.end(), i); };
    for (std::size_t a = 0; a < kControls.size(); ++a) {
        for (std::size_t b = a + 1; b < kControls.size(); ++b) {
            const ControlDesign& ca = kControls[a];
            const ControlDesign& cb = kControls[b];
            const auto [across, down] = overlap(rectInForm(ca), rectInForm(cb));
            if (!ca.visible || !cb.visible || std::min(across, down) <= twipsPerPixel())
                continue;
            SCOPED_TRACE(std::string(ca.name) + " and " + std::string(cb.name));
            if (holdsOthers(ca) && inside(rectInForm(cb), rectInForm(ca))) {
                EXPECT_LT(depth(b), depth(a));
            } else if (holdsOthers(cb) && inside(rectInForm(ca), rectInForm(cb))) {
                EXPECT_LT(depth(a), depth(b));
            } else {
                ADD_FAILURE() << "they overlap by " << across << " x " << down << " twips";
            }
        }
    }
}

// Stacking ranks and tab indexes number each container's controls and the form's from 0 with no
// gap and no repeat, so that no order is left to chance.
TEST(Layout, RanksAndTabIndexesAreEachANumberingFromZero) {
    std::map<std::string_view, std::vector<int>> ranks;
    std::vector<int> tabs;
    for (const ControlDesign& c : kControls) {
        ranks[c.container].push_back(c.stackRank);
        if (c.tabIndex != kNoTabIndex)
            tabs.push_back(c.tabIndex);
    }
    ranks["tab indexes"] = tabs;
    for (auto& [name, numbers] : ranks) {
        std::sort(numbers.begin(), numbers.end());
        for (std::size_t i = 0; i < numbers.size(); ++i)
            EXPECT_EQ(numbers[i], static_cast<int>(i)) << name;
    }
}

// Tab goes through the buttons, the list and the check boxes by the design's tab indexes, from
// "Play", which has the focus when the window opens; labels, frames and hidden controls are left
// out.
TEST(Layout, TheFocusOrderIsTheDesignsTabOrder) {
    std::vector<std::string_view> names;
    for (std::size_t i : focusOrder())
        names.push_back(kControls[i].name);
    EXPECT_THAT(names, ElementsAre("Command1", "Combo1", "Check1", "Check2", "Command2", "Check3",
                                   "Check4", "Check5", "Check6"));
}

// layout.sh for the scripts: the title quoted for the shell whatever it holds, the sizes, and
// the places of the window's own controls only, not of those inside a frame.
TEST(Layout, TheScriptsLayoutQuotesTheTitleAndListsTheWindowsOwnControls) {
    WindowDesign form = kForm;
    form.caption = "It's $HOME \\";
    const std::array controls{*findControl("Frame1"), *findControl("Label2"),
                              *findControl("Check6")};
    EXPECT_EQ(layoutShell(form, controls),
              "# The window's layout (src/window/layout.h), written by CMake; lengths in twips.\n"
              "MAIN_TITLE='It'\\''s $HOME \\'\n"
              "CLIENT_WIDTH_TWIPS=4980 CLIENT_HEIGHT_TWIPS=5040\n"
              "NARROW_WIDTH_TWIPS=5160 WIDE_WIDTH_TWIPS=8250\n"
              "# Each control of the window itself (not of a frame): left top width height.\n"
              "declare -gA CONTROL_TWIPS=(\n"
              "    [Frame1]='5280 360 2655 1575'\n"
              "    [Check6]='5640 3960 2055 255'\n"
              ")\n");
}

// One of the ring's two tones differs by 3:1 or more from any colour it may lie on, and the
// tones from each other (WCAG's contrast of relative luminances: black on white is 21:1).
TEST(FocusRing, OneOfItsTonesStandsOutOnEveryColour) {
    EXPECT_NEAR(contrastRatio({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio({118, 118, 118}, {255, 255, 255}), 4.54, 0.01);
    EXPECT_GE(contrastRatio(kFocusRing.outer, kFocusRing.inner), 3.0);
    double weakest = 21.0;
    for (int r = 0; r < 256; r += 3) {
        for (int g = 0; g < 256; g += 3) {
            for (int b = 0; b < 256; b += 3) {
                const Rgb under{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                static_cast<std::uint8_t>(b)};
                const double best = std::max(contrastRatio(kFocusRing.outer, under),
                                             contrastRatio(kFocusRing.inner, under));
                weakest = std::min(weakest, best);
            }
        }
    }
    EXPECT_GE(weakest, 3.0);
}

// The ring's pieces cover exactly the band around the control, without overlapping: each band
// the design's 2 px scaled to the DPI (rounded as every length), or the system's thicker focus
// border; the light band outside.
TEST(FocusRing, BandsAroundTheControlAtEachDpiAndBorderWidth) {
    struct Row {
        int dpi, minBand, band;
    };
    const Row rows[] = {{96, 0, 2}, {120, 0, 3}, {144, 0, 3}, {192, 0, 4},
                        {96, 1, 2}, {96, 5, 5},  {144, 4, 4}};
    const Rect control{100, 50, 237, 67};
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.dpi << " DPI, border " << row.minBand);
        const Rect bounds = focusRingBounds(control, row.dpi, row.minBand);
        EXPECT_EQ(bounds, (Rect{100 - 2 * row.band, 50 - 2 * row.band, 237 + 2 * row.band,
                                67 + 2 * row.band}));
        std::map<std::pair<int, int>, int> covered;
        for (const RingPiece& piece : focusRing(control, row.dpi, row.minBand)) {
            for (int y = piece.rect.top; y < piece.rect.bottom; ++y) {
                for (int x = piece.rect.left; x < piece.rect.right; ++x) {
                    const int from_edge = std::min({x - bounds.left, bounds.right - 1 - x,
                                                    y - bounds.top, bounds.bottom - 1 - y});
                    EXPECT_EQ(piece.colour,
                              from_edge < row.band ? kFocusRing.outer : kFocusRing.inner);
                    ++covered[{x, y}];
                }
            }
        }
        const int area = (bounds.right - bounds.left) * (bounds.bottom - bounds.top) - 137 * 17;
        EXPECT_EQ(static_cast<int>(covered.size()), area);
        EXPECT_TRUE(std::all_of(covered.begin(), covered.end(),
                                [](const auto& c) { return c.second == 1; }));
        EXPECT_EQ(covered.count({100, 50}), 0u);
    }
}

// The ring around a control that takes the focus never covers another such control, at 96 and
// 144 DPI (it may lie over labels and frames, over which it is painted).
TEST(FocusRing, NoRingCoversAnotherFocusableControl) {
    for (const int dpi : {96, 144}) {
        const auto pixels = [dpi](const Rect& r) {
            return Rect{twipsToPixels(r.left, dpi), twipsToPixels(r.top, dpi),
                        twipsToPixels(r.right, dpi), twipsToPixels(r.bottom, dpi)};
        };
        for (std::size_t a : focusOrder()) {
            const Rect ring = focusRingBounds(pixels(rectInForm(kControls[a])), dpi);
            for (std::size_t b : focusOrder()) {
                const auto [across, down] = overlap(ring, pixels(rectInForm(kControls[b])));
                EXPECT_TRUE(a == b || across <= 0 || down <= 0)
                    << kControls[a].name << " over " << kControls[b].name << " at " << dpi;
            }
        }
    }
}

}  // namespace
}  // namespace vantu::layout

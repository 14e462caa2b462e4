#pragma once

#include <array>
#include <span>

#include "window/layout.h"

// The focus ring: what shows the player, from across the room, which control the next A or Space
// acts on. Both front ends paint it the same way, outside the focused control, on top of whatever
// lies there (the dark panel or the picture), once the keyboard or a pad has moved the focus.
namespace vantu::layout {

// Two bands, a light one outside a dark one: wherever the ring lies, one of them differs from
// the pixels it covers by at least 3:1 in contrast (the light one on anything darker than a
// relative luminance of 0.3, the dark one on anything brighter than 0.1), and the two differ by
// 21:1 from each other. Each band is as thick as the thickness that has to stand out, so the ring
// is always at least a 2 px perimeter of the control that changes by 3:1.
struct FocusRingDesign {
    int gapPixels;   // between the control and the dark band, at 96 DPI
    int bandPixels;  // the thickness of each band, at 96 DPI
    Rgb outer;       // the light band
    Rgb inner;       // the dark band, next to the control
};

inline constexpr FocusRingDesign kFocusRing{0, 2, {255, 255, 255}, {0, 0, 0}};

// One rectangle of the ring, in pixels, and its colour.
struct RingPiece {
    Rect rect;
    Rgb colour;
};

// The ring around a control's rectangle (in pixels at that DPI): eight pieces, the light band's
// top, bottom, left and right then the dark band's, none overlapping another (the left and right
// pieces take the corners). Each band is the design's thickness scaled to the DPI, and at least
// minBandPixels thick (the system's focus border, where it asks for a thicker one).
//
// The ring leaves the rectangles in keepClear alone (other controls, the text of labels and
// captions beside the control): on a side where one of them lies closer than the ring is wide,
// both bands of that side narrow to the room left, the light one keeping the odd pixel, down to
// nothing where there is none. The other sides keep their full width.
std::array<RingPiece, 8> focusRing(const Rect& control, int dpi, int minBandPixels = 0,
                                   std::span<const Rect> keepClear = {});

// The rectangle the ring covers with the control inside it, at its full width on every side.
Rect focusRingBounds(const Rect& control, int dpi, int minBandPixels = 0);

}  // namespace vantu::layout

#include "window/focus_ring.h"

#include <algorithm>

namespace vantu::layout {
namespace {

// A length in pixels at 96 DPI at another DPI, through twips as every length of the layout.
int scaled(int pixels, int dpi) {
    return twipsToPixels(pixels * kTwipsPerInch / kStandardDpi, dpi);
}

int bandThickness(int dpi, int minBandPixels) {
    return std::max({scaled(kFocusRing.bandPixels, dpi), minBandPixels, 1});
}

Rect grown(const Rect& r, int by) {
    return {r.left - by, r.top - by, r.right + by, r.bottom + by};
}

// How far a rectangle reaches out of another on each side.
struct Sides {
    int left, top, right, bottom;
};

Rect grown(const Rect& r, const Sides& by) {
    return {r.left - by.left, r.top - by.top, r.right + by.right, r.bottom + by.bottom};
}

Sides operator-(const Sides& a, const Sides& b) {
    return {a.left - b.left, a.top - b.top, a.right - b.right, a.bottom - b.bottom};
}

bool overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// How far out from the control the ring may reach on each side, at most `full`: up to the
// nearest rectangle to keep clear within that side's strip. The top and bottom strips are as
// wide as the control; the left and right strips take the corners, as high as the top and bottom
// sides reach.
Sides room(const Rect& c, int full, std::span<const Rect> keepClear) {
    Sides r{full, full, full, full};
    for (const Rect& k : keepClear) {
        if (overlap(k, {c.left, c.top - full, c.right, c.top}))
            r.top = std::min(r.top, std::max(0, c.top - k.bottom));
        if (overlap(k, {c.left, c.bottom, c.right, c.bottom + full}))
            r.bottom = std::min(r.bottom, std::max(0, k.top - c.bottom));
    }
    for (const Rect& k : keepClear) {
        if (overlap(k, {c.left - full, c.top - r.top, c.left, c.bottom + r.bottom}))
            r.left = std::min(r.left, std::max(0, c.left - k.right));
        if (overlap(k, {c.right, c.top - r.top, c.right + full, c.bottom + r.bottom}))
            r.right = std::min(r.right, std::max(0, k.left - c.right));
    }
    return r;
}

// The dark band's width on a side with that much room for both bands: half, the light band
// taking the odd pixel.
int darkWidth(int room, int thickness) {
    return std::min(thickness, room / 2);
}

// A band between two rectangles, one inside the other: top and bottom as wide as the inner one,
// left and right from the outer one's top to its bottom.
void band(const Rect& outside, const Rect& inside, Rgb colour, RingPiece* pieces) {
    const Rect& o = outside;
    const Rect& i = inside;
    pieces[0] = {{i.left, o.top, i.right, i.top}, colour};
    pieces[1] = {{i.left, i.bottom, i.right, o.bottom}, colour};
    pieces[2] = {{o.left, o.top, i.left, o.bottom}, colour};
    pieces[3] = {{i.right, o.top, o.right, o.bottom}, colour};
}

}  // namespace

std::array<RingPiece, 8> focusRing(const Rect& control, int dpi, int minBandPixels,
                                   std::span<const Rect> keepClear) {
    const int thickness = bandThickness(dpi, minBandPixels);
    const int gap = scaled(kFocusRing.gapPixels, dpi);
    const Sides reach = room(control, gap + 2 * thickness, keepClear);
    const Sides bands{std::max(0, reach.left - gap), std::max(0, reach.top - gap),
                      std::max(0, reach.right - gap), std::max(0, reach.bottom - gap)};
    const Sides dark{darkWidth(bands.left, thickness), darkWidth(bands.top, thickness),
                     darkWidth(bands.right, thickness), darkWidth(bands.bottom, thickness)};
    const Rect inside = grown(control, gap);
    const Rect darkOutside = grown(inside, dark);
    const Sides light = bands - dark;
    const Sides lightWidth{std::min(thickness, light.left), std::min(thickness, light.top),
                           std::min(thickness, light.right), std::min(thickness, light.bottom)};
    std::array<RingPiece, 8> pieces{};
    band(grown(darkOutside, lightWidth), darkOutside, kFocusRing.outer, &pieces[0]);
    band(darkOutside, inside, kFocusRing.inner, &pieces[4]);
    return pieces;
}

Rect focusRingBounds(const Rect& control, int dpi, int minBandPixels) {
    return grown(control,
                 scaled(kFocusRing.gapPixels, dpi) + 2 * bandThickness(dpi, minBandPixels));
}

}  // namespace vantu::layout

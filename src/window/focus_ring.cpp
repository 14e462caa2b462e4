#include "window/focus_ring.h"

#include <algorithm>
#include <cmath>

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

// The band of that thickness along the inside of a rectangle: top and bottom across the whole
// width, left and right between them.
void band(const Rect& outside, int thickness, Rgb colour, RingPiece* pieces) {
    const Rect& o = outside;
    pieces[0] = {{o.left, o.top, o.right, o.top + thickness}, colour};
    pieces[1] = {{o.left, o.bottom - thickness, o.right, o.bottom}, colour};
    pieces[2] = {{o.left, o.top + thickness, o.left + thickness, o.bottom - thickness}, colour};
    pieces[3] = {{o.right - thickness, o.top + thickness, o.right, o.bottom - thickness}, colour};
}

double linear(std::uint8_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

std::array<RingPiece, 8> focusRing(const Rect& control, int dpi, int minBandPixels) {
    const int thickness = bandThickness(dpi, minBandPixels);
    const Rect inner = grown(control, scaled(kFocusRing.gapPixels, dpi) + thickness);
    std::array<RingPiece, 8> pieces{};
    band(grown(inner, thickness), thickness, kFocusRing.outer, &pieces[0]);
    band(inner, thickness, kFocusRing.inner, &pieces[4]);
    return pieces;
}

Rect focusRingBounds(const Rect& control, int dpi, int minBandPixels) {
    return grown(control,
                 scaled(kFocusRing.gapPixels, dpi) + 2 * bandThickness(dpi, minBandPixels));
}

double relativeLuminance(Rgb colour) {
    return 0.2126 * linear(colour.r) + 0.7152 * linear(colour.g) + 0.0722 * linear(colour.b);
}

double contrastRatio(Rgb a, Rgb b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace vantu::layout

#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "window/focus_ring.h"

namespace vantu::layout {

// WCAG's relative luminance of a colour (0 black, 1 white) and the contrast ratio of two colours
// (1 to 21): what the tests hold the focus ring's colours and its cue on screen to.
inline double linearChannel(std::uint8_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

inline double relativeLuminance(Rgb colour) {
    return 0.2126 * linearChannel(colour.r) + 0.7152 * linearChannel(colour.g) +
           0.0722 * linearChannel(colour.b);
}

inline double contrastRatio(Rgb a, Rgb b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace vantu::layout

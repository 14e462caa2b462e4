#pragma once

#include <algorithm>
#include <cmath>
#include <string>

#include "contrast_ratio.h"
#include "window/focus_ring.h"

namespace vantu::testing {

// How a focus cue is measured: the pixels around a control (its rectangle grown by 6 px at
// 96 DPI) that differ by a contrast of at least 3:1 between the window with the focus on the
// control and the window with the focus moved away. The cue is large enough when they are at
// least as many as a 2 px thick perimeter of the control has (both scaled from 96 DPI).
struct FocusCueMeasure {
    int changed;
    int needed;
};

// pixelOn(x, y) and pixelOff(x, y) give the two pictures' colours as layout::Rgb; the control's
// rectangle is in the pictures' pixels, scale their pixels per pixel at 96 DPI. A cue thicker
// than the margin (a thicker focus border asked for) is measured whole, with a wider margin.
template <class PixelOn, class PixelOff>
FocusCueMeasure measureFocusCue(const layout::Rect& control, double scale, int width, int height,
                                PixelOn pixelOn, PixelOff pixelOff, int minMargin = 0) {
    const int margin = std::max(static_cast<int>(std::lround(6 * scale)), minMargin);
    FocusCueMeasure m{0, 0};
    for (int y = std::max(0, control.top - margin); y < std::min(height, control.bottom + margin);
         ++y) {
        for (int x = std::max(0, control.left - margin);
             x < std::min(width, control.right + margin); ++x) {
            m.changed += layout::contrastRatio(pixelOn(x, y), pixelOff(x, y)) >= 3.0;
        }
    }
    const int thickness = static_cast<int>(std::lround(2 * scale));
    m.needed = 2 * thickness * ((control.right - control.left) + (control.bottom - control.top));
    return m;
}

// The pixels inside a rectangle that differ at all between the two pictures: none may where the
// cue has to keep clear (another control, the text of a label).
template <class PixelOn, class PixelOff>
int changedWithin(const layout::Rect& area, int width, int height, PixelOn pixelOn,
                  PixelOff pixelOff) {
    int changed = 0;
    for (int y = std::max(0, area.top); y < std::min(height, area.bottom); ++y) {
        for (int x = std::max(0, area.left); x < std::min(width, area.right); ++x)
            changed += !(pixelOn(x, y) == pixelOff(x, y));
    }
    return changed;
}

// The ring's bands read from a pixel outwards, count steps of (dx, dy): 'd' for its dark band,
// 'l' for its light band, '?' for anything else. A ring of bands of n pixels reads n 'd' then n
// 'l'.
template <class Pixel>
std::string ringTones(Pixel pixel, int x, int y, int dx, int dy, int count) {
    std::string tones;
    for (int i = 0; i < count; ++i, x += dx, y += dy) {
        const layout::Rgb p = pixel(x, y);
        tones += p == layout::kFocusRing.inner ? 'd' : p == layout::kFocusRing.outer ? 'l' : '?';
    }
    return tones;
}

}  // namespace vantu::testing

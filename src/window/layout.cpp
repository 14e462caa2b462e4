#include "window/layout.h"

#include <algorithm>
#include <tuple>

namespace vantu::layout {

std::vector<std::size_t> focusOrder() {
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (takesFocus(kControls[i]))
            order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(), [](std::size_t a, std::size_t b) {
        return kControls[a].tabIndex < kControls[b].tabIndex;
    });
    return order;
}

std::vector<std::size_t> stackingOrder() {
    // A control in a frame sorts as its frame, just before it; others by their own rank.
    auto key = [](std::size_t i) {
        const ControlDesign& c = kControls[i];
        const ControlDesign* frame = c.container == kForm.name ? nullptr : findControl(c.container);
        return frame != nullptr ? std::tuple(frame->stackRank, 0, c.stackRank)
                                : std::tuple(c.stackRank, 1, c.stackRank);
    };
    std::vector<std::size_t> order(kControls.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
    return order;
}

}  // namespace vantu::layout

#include "window/layout.h"

#include <algorithm>
#include <string>

namespace vantu::layout {

std::int16_t checkBoxDesignValue(int number) {
    const ControlSpec* control = findControl("Check" + std::to_string(number));
    return control != nullptr ? control->initialValue : 0;
}

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

}  // namespace vantu::layout

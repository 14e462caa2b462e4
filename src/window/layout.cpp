#include "window/layout.h"

#include <string>

namespace vantu::layout {

std::int16_t checkBoxDesignValue(int number) {
    const ControlSpec* spec = findControl("Check" + std::to_string(number));
    return spec != nullptr ? spec->initialValue : 0;
}

}  // namespace vantu::layout

#include "window/layout.h"

#include <string>

namespace vantu::layout {

std::int16_t checkBoxDesignValue(int number) {
    const ControlSpec* control = findControl("Check" + std::to_string(number));
    return control != nullptr ? control->initialValue : 0;
}

}  // namespace vantu::layout

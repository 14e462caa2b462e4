#include "memory_controls.h"

namespace vantu {

std::int16_t MemoryControls::readCheck(CheckBox box) const {
    if (failRead_ == box)
        throw ControlError("check box value cannot be read");
    return WindowlessControls::readCheck(box);
}

void MemoryControls::writeCheck(CheckBox box, std::int16_t value) {
    if (failSet_ == box)
        throw ControlError("check box refused its value");
    WindowlessControls::writeCheck(box, value);
}

void MemoryControls::userClick(CheckBox box) {
    playerChange([this, box] {
        writeCheck(box, clickedValue(readCheck(box)));
        playerChangedCheck(box);
    });
}

void MemoryControls::userPick(std::int16_t index) {
    playerChange([this, index] {
        if (index == readListIndex())
            return;
        writeListIndex(index);
        playerChangedList();
    });
}

}  // namespace vantu

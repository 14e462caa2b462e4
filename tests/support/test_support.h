#pragma once

#include <gtest/gtest.h>

#include <array>

#include "fake_platform.h"
#include "memory_controls.h"
#include "temp_folder.h"
#include "window/form1.h"

namespace vantu::testing {

// The launcher's logic over in-memory controls and a recording platform, with its game folder
// in a temporary directory.
struct Launcher {
    Launcher() { controls.setEvents(&form); }

    void writeConfig(std::string_view bytes) { folder.write("xconfig.dat", bytes); }
    std::int16_t check(int number) const { return controls.checkValue(checkBoxByNumber(number)); }
    std::array<std::int16_t, 6> checks() const { return checkValues(controls); }

    TempFolder folder;
    MemoryControls controls;
    FakePlatform platform;
    Form1 form{controls, platform, folder.string()};
};

}  // namespace vantu::testing

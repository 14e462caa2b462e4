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

// What the save writes for the digits of Check2..Check6 (by default their design values): each
// digit and a quoted blank, every item ended by CR LF.
inline std::string savedConfig(std::string_view digits = "10111") {
    std::string bytes;
    for (const char digit : digits)
        bytes += std::string(1, digit) + "\r\n\" \"\r\n";
    return bytes;
}

}  // namespace vantu::testing

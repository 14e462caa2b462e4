#pragma once

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "fake_platform.h"
#include "memory_controls.h"
#include "options/option_table.h"
#include "ports/controls.h"
#include "temp_folder.h"
#include "window/control_router.h"
#include "window/form1.h"

namespace vantu {

// The check box of that name ("Check3"), found when the test is compiled: a name that no row of
// kCheckOptions has does not compile.
consteval CheckBox checkBoxNamed(std::string_view name) {
    for (std::size_t i = 0; i < kCheckOptions.size(); ++i) {
        if (kCheckOptions[i].box == name)
            return checkBoxByNumber(static_cast<int>(i) + 1);
    }
    throw std::invalid_argument("no check box of that name");
}

// The check box of the option with that name in kCheckOptions ("windowMode"), found when the
// test is compiled: a name the table does not have does not compile.
consteval CheckBox optionBox(std::string_view name) {
    for (std::size_t i = 0; i < kCheckOptions.size(); ++i) {
        if (kCheckOptions[i].name == name)
            return checkBoxByNumber(static_cast<int>(i) + 1);
    }
    throw std::invalid_argument("no option of that name");
}

}  // namespace vantu

namespace vantu::testing {

// Records the Click notifications the controls raise, by control name.
struct RecordingEvents : ControlEvents {
    void checkClicked(CheckBox box) override {
        events.push_back("Check" + std::to_string(checkBoxNumber(box)));
    }
    void comboClicked() override { events.push_back("Combo1"); }

    std::vector<std::string> events;
};

// The launcher's logic over a front end's controls, a recording platform and a game folder in
// a temporary directory, the current folder while it lives, as the launcher enters the game's
// folder. Front holds the controls (and the window they live in); the player's clicks and
// changes reach the form through the core's router, as in the program.
template <class Front>
struct LauncherOver : Front {
    void writeConfig(std::string_view bytes) { folder.write("xconfig.dat", bytes); }
    std::int16_t check(int number) const {
        return this->controls.checkValue(checkBoxByNumber(number));
    }
    std::array<std::int16_t, kCheckBoxCount> checks() const { return checkValues(this->controls); }

    TempFolder folder;
    FakePlatform platform;
    InFolder inFolder{folder.path()};
    Form1 form{this->controls, platform};
    ControlRouter router{this->controls, form};
};

// Controls kept in memory.
struct MemoryFront {
    MemoryControls controls;
};

using Launcher = LauncherOver<MemoryFront>;

// Where each control stands in the client area at 96 dots per inch, in pixels of 15 twips, as
// the window's design places it: written out apart from the layout table, so that the front ends
// are checked against the design rather than against the code that places their widgets.
struct DesignPlace {
    std::string_view name;
    int x, y, width, height;
};
inline constexpr DesignPlace kDesignPixels[] = {
    {"Command1", 168, 288, 153, 33}, {"Command2", 168, 248, 153, 33}, {"Text2", 16, 120, 153, 65},
    {"Command4", 16, 200, 81, 25},   {"Command3", 16, 232, 81, 25},   {"Shape1", 344, 16, 193, 313},
    {"Frame1", 352, 24, 177, 105},   {"Label2", 368, 48, 97, 17},     {"Combo1", 368, 64, 145, 21},
    {"Check1", 368, 96, 137, 17},    {"Frame2", 352, 144, 177, 153},  {"Check2", 376, 168, 137, 17},
    {"Check3", 376, 192, 137, 17},   {"Check4", 376, 216, 137, 17},   {"Check5", 376, 240, 137, 17},
    {"Check6", 376, 264, 137, 17},   {"Label1", 512, 304, 17, 17},
};

// A case of a parameterised test that puts something at a path.
struct PathCase {
    std::string_view name;
    void (*make)(const std::filesystem::path& path);
};

// Names the cases of a parameterised test by their member name.
inline constexpr auto byName = [](const auto& info) { return std::string(info.param.name); };

// Something other than a plain small file at folder/xconfig.dat, which the reader refuses at
// once, before anything applies (config_reader_test.cpp; each system adds its own kinds).
class UnreadableConfig : public ::testing::TestWithParam<PathCase> {};

// What the save writes for the digits of the saved boxes (by default their design values): each
// digit and a quoted blank, every item ended by CR LF.
inline std::string savedConfig(std::string_view digits = "10111") {
    std::string bytes;
    for (const char digit : digits)
        bytes += std::string(1, digit) + "\r\n\" \"\r\n";
    return bytes;
}

}  // namespace vantu::testing

#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// The launch options as one table: each check-box option with the box that holds it, the field
// of xconfig.dat that loads it, the switch it gives the game, whether "Save Config" writes it and
// the name the logic knows it by. The reader, the writer, the command line and LaunchOptions all
// work from these rows; the window's layout (window/layout.h) has the boxes themselves, in the
// same order, which it checks when it is compiled.
namespace vantu {

// Which value of its box adds an option's switch. Only that exact value does: a greyed box adds
// the switch in neither case.
enum class SwitchWhen : unsigned char { Checked, Clear };

struct CheckOption {
    std::string_view box;         // the check box's name in the layout
    std::string_view name;        // the option's name in the logic
    int configField;              // its field in xconfig.dat, counted from 1
    std::string_view gameSwitch;  // what it adds to the game's command line
    SwitchWhen addsSwitch;        // ... and for which value of its box
    bool saved;                   // "Save Config" writes its digit to xconfig2.dat
};

// The rows in the order of the boxes in the layout, which is also the order of their switches on
// the command line and of their digits in xconfig2.dat. CheckBox n (ports/controls.h) is row n.
inline constexpr auto kCheckOptions = std::to_array<CheckOption>({
    // clang-format off
    // box      name              field switch           added when           saved
    {"Check1", "windowMode",      9,    " -d winmode",   SwitchWhen::Checked, false},
    {"Check2", "useShaders",      1,    " -d noshaders", SwitchWhen::Clear,   true},
    {"Check3", "advancedShadows", 2,    " -d noshadow",  SwitchWhen::Clear,   true},
    {"Check4", "fireEffects",     3,    " -d nosprite",  SwitchWhen::Clear,   true},
    {"Check5", "sceneryClouds",   4,    " -d nocloud",   SwitchWhen::Clear,   true},
    {"Check6", "bulletsGlow",     5,    " -d noglow",    SwitchWhen::Clear,   true},
    // clang-format on
});

// The number of option check boxes: CheckBox 1 to kCheckBoxCount.
inline constexpr int kCheckBoxCount = static_cast<int>(kCheckOptions.size());

// The display mode, which the list Combo1 holds rather than a box: its field in xconfig.dat, and
// its switch, the head, the mode's index and the tail, which comes before every box's switch.
// "Save Config" does not write it.
struct DisplayModeOption {
    int configField;
    std::string_view switchHead;
    std::string_view switchTail;
};

inline constexpr DisplayModeOption kDisplayModeOption{10, " -d v", " "};

// The last field of xconfig.dat that sets an option: the reader stops there.
inline constexpr int kLastOptionField = [] {
    int last = kDisplayModeOption.configField;
    for (const CheckOption& option : kCheckOptions)
        last = option.configField > last ? option.configField : last;
    return last;
}();

// Each field sets one option at most, and the option names are all different.
static_assert([] {
    for (std::size_t i = 0; i < kCheckOptions.size(); ++i) {
        const CheckOption& a = kCheckOptions[i];
        if (a.configField < 1 || a.configField == kDisplayModeOption.configField)
            return false;
        for (std::size_t j = i + 1; j < kCheckOptions.size(); ++j) {
            const CheckOption& b = kCheckOptions[j];
            if (a.configField == b.configField || a.name == b.name || a.box == b.box)
                return false;
        }
    }
    return kDisplayModeOption.configField >= 1;
}());

}  // namespace vantu

// The game's command line for any option values the controls can hold (check boxes 0, 1 or 2,
// list index -1 to 11, changed flag 0 or 1), split as the game's runtime splits it, checked
// against the switch grammar: "vantu.exe", "-nc", then pairs "-d" word, the words known, in
// their fixed order and each at most once, each present exactly when its option says so.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "memory_controls.h"
#include "options/command_line.h"
#include "options/launch_options.h"

namespace {

// The switch words in the order the game expects them; the display modes share the first
// place.
constexpr std::array<std::string_view, 7> kWords{"winmode", "noshaders", "noshadow", "nosprite",
                                                 "nocloud", "noglow",    "saveme"};

// The place of a switch word in the fixed order (0 for a display mode), or -1 when unknown.
int placeOf(const std::string& word) {
    for (int n = 0; n <= 11; ++n) {
        if (word == "v" + std::to_string(n))
            return 0;
    }
    const auto it = std::find(kWords.begin(), kWords.end(), word);
    return it == kWords.end() ? -1 : static_cast<int>(it - kWords.begin()) + 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vantu;
    using vantu::fuzz::printable;

    FuzzedDataProvider input(data, size);
    MemoryControls controls;
    LaunchOptions options(controls);
    std::array<std::int16_t, kCheckBoxCount> checks{};
    for (int n = 1; n <= kCheckBoxCount; ++n) {
        checks[static_cast<std::size_t>(n - 1)] = input.ConsumeIntegralInRange<std::int16_t>(0, 2);
        controls.setCheckValue(checkBoxByNumber(n), checks[static_cast<std::size_t>(n - 1)]);
    }
    const auto index = input.ConsumeIntegralInRange<std::int16_t>(-1, 11);
    controls.setListIndex(index);
    const bool changed = input.ConsumeBool();
    if (changed)
        options.markChanged();

    const std::string line = gameCommandLine(options);
    const std::vector<std::string> args = splitCommandLine(line);
    // Only a failing check spells the input out.
    const auto shown = [&] { return "\"" + printable(line) + "\" split as " + printable(args); };

    FUZZ_CHECK(line.starts_with("vantu.exe -nc") && line.size() <= 100, shown());
    FUZZ_CHECK(
        args.size() >= 2 && args[0] == "vantu.exe" && args[1] == "-nc" && args.size() % 2 == 0,
        shown());

    // What each place of the order should hold: the display mode's word, or the option's switch.
    std::array<bool, 8> wanted{};
    wanted[0] = index >= 0;
    wanted[1] = checks[0] == 1;
    for (std::size_t box = 1; box < 6; ++box)
        wanted[box + 1] = checks[box] == 0;
    wanted[7] = changed;

    std::array<bool, 8> seen{};
    int lastPlace = -1;
    for (std::size_t i = 2; i < args.size(); i += 2) {
        FUZZ_CHECK(args[i] == "-d", shown());
        const int place = placeOf(args[i + 1]);
        FUZZ_CHECK(place > lastPlace, "unknown, repeated or out of order switch: " + shown());
        lastPlace = place;
        seen[static_cast<std::size_t>(place)] = true;
        if (place == 0)
            FUZZ_CHECK(args[i + 1] == "v" + std::to_string(index), shown());
    }
    FUZZ_CHECK(seen == wanted, shown());
    for (const std::string& arg : args)
        FUZZ_CHECK(!arg.empty(), shown());
    FUZZ_CHECK(line.ends_with(" -d saveme") == changed, shown());
    // The display mode's piece ends with a blank: the line does too exactly when it comes last.
    FUZZ_CHECK(line.ends_with(" ") == (args.size() > 2 && args.back().starts_with("v")), shown());
    return 0;
}

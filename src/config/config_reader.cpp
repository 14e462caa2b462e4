#include "config/config_reader.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "options/launch_options.h"
#include "options/option_table.h"
#include "ports/controls.h"
#include "ports/files.h"

namespace vantu {
namespace {

// Ends a load on the failure path: the file cannot be read, or the list refuses a field.
struct LoadFailed {};

// Rounds to the nearest whole number, halves to the even one, whatever the FPU's mode.
double roundHalfEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction < 0.5)
        return floor;
    if (fraction > 0.5)
        return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

void applyCheck(LaunchOptions& options, CheckBox box, std::string_view text) {
    options.setCheck(box, fieldValue(text) == 1.0 ? kChecked : kUnchecked);
}

void applyDisplayMode(LaunchOptions& options, std::string_view text) {
    const double rounded = roundHalfEven(fieldValue(text));
    // Must fit a 16-bit index, and the list takes only "none" or one of its entries.
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
          rounded <= std::numeric_limits<std::int16_t>::max())) {
        throw LoadFailed{};
    }
    if (!isListIndex(rounded))
        throw LoadFailed{};
    options.setDisplayMode(static_cast<std::int16_t>(rounded));
}

// For each field of xconfig.dat, up to the last that sets an option, the number of the check box
// it loads; 0 for the display mode's field and for the fields that set nothing.
constexpr auto kFieldBoxes = [] {
    std::array<int, kLastOptionField + 1> boxes{};
    for (std::size_t i = 0; i < kCheckOptions.size(); ++i)
        boxes[static_cast<std::size_t>(kCheckOptions[i].configField)] = static_cast<int>(i) + 1;
    return boxes;
}();

// Applies a completed field by its number; numbers with no meaning change nothing.
void applyField(LaunchOptions& options, std::uint64_t number, std::string_view text) {
    if (number == static_cast<std::uint64_t>(kDisplayModeOption.configField)) {
        applyDisplayMode(options, text);
    } else if (number < kFieldBoxes.size() && kFieldBoxes[number] != 0) {
        applyCheck(options, checkBoxByNumber(kFieldBoxes[number]), text);
    }
}

// Applies the fields of a file's content and sets Text2 to its trace; a refused field throws.
void applyContent(std::string content, LaunchOptions& options, Controls& controls) {
    // Fields end at blanks; every other character since the last blank is the field's text.
    // Fields after the last that sets an option change nothing, so the scan stops there.
    constexpr auto kLastField = static_cast<std::uint64_t>(kLastOptionField);
    std::uint64_t fieldNumber = 1;
    std::size_t fieldStart = 0;
    for (std::size_t i = 0; i < content.size() && fieldNumber <= kLastField; ++i) {
        if (content[i] != ' ')
            continue;
        applyField(options, fieldNumber,
                   std::string_view(content.data() + fieldStart, i - fieldStart));
        ++fieldNumber;
        fieldStart = i + 1;
    }
    // The trace covers the whole file and is rendered when Text2 is first read.
    controls.setText2Trace(std::move(content));
}

// One report for every failure; what earlier fields set stays.
void reportFailure(Controls& controls) noexcept {
    try {
        controls.setText2("No FILE!" + std::string(kConfigFileName));
    } catch (...) {
        // Text2 itself failed: there is nowhere left to report to.
    }
}

}  // namespace

double fieldValue(std::string_view text) {
    std::string number;
    bool negative = false;
    bool signSeen = false;
    bool pointSeen = false;
    bool digitSeen = false;
    bool wholeNonZero = false;  // a non-zero digit before the full stop
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\n')
            continue;
        if ((c == '+' || c == '-') && !signSeen && !digitSeen && !pointSeen) {
            signSeen = true;
            negative = c == '-';
        } else if (c >= '0' && c <= '9') {
            digitSeen = true;
            if (!pointSeen && c != '0')
                wholeNonZero = true;
            number += c;
        } else if (c == '.' && !pointSeen) {
            pointSeen = true;
            number += c;
        } else {
            break;
        }
    }
    if (!digitSeen)
        return 0.0;

    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                        std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range) {
        // Too many digits for a double: too large, or too small to be told from zero.
        value = wholeNonZero ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

void loadConfig(const std::string& folder, LaunchOptions& options, Controls& controls) {
    // Only a regular file (links followed) of at most the limit is read: a folder, a pipe, a
    // device or a huge file fails at once, before anything is applied.
    std::string content;
    bool read = false;
    try {
        read = readFile(pathInFolder(folder, kConfigFileName), kMaxConfigFileSize, content);
    } catch (...) {
        // No memory for the file: the load fails as for a file that cannot be read.
    }
    if (!read) {
        reportFailure(controls);
        return;
    }
    loadConfigContent(std::move(content), options, controls);
}

void loadConfigContent(std::string content, LaunchOptions& options, Controls& controls) {
    try {
        applyContent(std::move(content), options, controls);
    } catch (...) {
        reportFailure(controls);
    }
}

}  // namespace vantu

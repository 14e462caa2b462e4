#include "options/command_line.h"

#include "options/launch_options.h"
#include "options/option_table.h"

namespace vantu {
namespace {

// The value of its box that adds an option's switch.
constexpr std::int16_t switchValue(const CheckOption& option) {
    return option.addsSwitch == SwitchWhen::Checked ? kChecked : kUnchecked;
}

bool isSeparator(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::string gameCommandLine(const LaunchOptions& options) {
    std::string line{kGameProgram};
    line += " -nc";
    const int mode = options.displayMode();
    // Display mode N, one of the list's entries, is the switch " -d vN ".
    if (mode >= 0 && mode < kDisplayModeCount) {
        line += kDisplayModeOption.switchHead;
        line += std::to_string(mode);
        line += kDisplayModeOption.switchTail;
    }
    // Only exact values add a switch: a greyed box (2) adds none either way.
    for (int n = 1; n <= kCheckBoxCount; ++n) {
        const CheckBox box = checkBoxByNumber(n);
        const CheckOption& option = checkOption(box);
        if (options.check(box) == switchValue(option))
            line += option.gameSwitch;
    }
    if (options.optionsChanged() == 1)
        line += " -d saveme";
    return line;
}

std::vector<std::string> splitCommandLine(std::string_view commandLine) {
    std::vector<std::string> args;
    std::size_t i = 0;
    const std::size_t n = commandLine.size();

    // The program name: quotes only group, they are dropped; no escapes.
    std::string program;
    bool inQuotes = false;
    while (i < n && (inQuotes || !isSeparator(commandLine[i]))) {
        if (commandLine[i] == '"') {
            inQuotes = !inQuotes;
        } else {
            program += commandLine[i];
        }
        ++i;
    }
    if (commandLine.empty())
        return args;
    args.push_back(std::move(program));

    while (true) {
        while (i < n && isSeparator(commandLine[i]))
            ++i;
        if (i >= n)
            break;
        std::string arg;
        bool quoted = false;
        while (i < n && (quoted || !isSeparator(commandLine[i]))) {
            if (commandLine[i] == '\\') {
                std::size_t slashes = 0;
                while (i < n && commandLine[i] == '\\') {
                    ++slashes;
                    ++i;
                }
                if (i < n && commandLine[i] == '"') {
                    arg.append(slashes / 2, '\\');
                    if (slashes % 2 == 1) {
                        arg += '"';
                        ++i;
                    }
                } else {
                    arg.append(slashes, '\\');
                }
            } else if (commandLine[i] == '"') {
                if (quoted && i + 1 < n && commandLine[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                arg += commandLine[i++];
            }
        }
        args.push_back(std::move(arg));
    }
    return args;
}

}  // namespace vantu

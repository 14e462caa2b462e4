#include "options/command_line.h"

#include <array>

#include "options/launch_options.h"

namespace vantu {
namespace {

// The five performance options and the switch each adds when it is clear.
struct OffSwitch {
    CheckBox box;
    std::string_view text;
};
constexpr std::array<OffSwitch, 5> kOffSwitches{{
    {CheckBox::Check2, " -d noshaders"},
    {CheckBox::Check3, " -d noshadow"},
    {CheckBox::Check4, " -d nosprite"},
    {CheckBox::Check5, " -d nocloud"},
    {CheckBox::Check6, " -d noglow"},
}};

bool isSeparator(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::string gameCommandLine(const LaunchOptions& options) {
    std::string line{kGameProgram};
    line += " -nc";
    const int mode = options.displayMode();
    // Display mode N, one of the list's entries, is the switch " -d vN ".
    if (mode >= 0 && mode < kDisplayModeCount)
        line += " -d v" + std::to_string(mode) + " ";
    // Only exact values add a switch: a greyed box (2) adds none either way.
    if (options.windowMode() == kChecked)
        line += " -d winmode";
    for (const OffSwitch& s : kOffSwitches) {
        if (options.check(s.box) == kUnchecked)
            line += s.text;
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

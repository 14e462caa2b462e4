#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantu {

// What Qt is given from the launcher's command line.
struct QtArguments {
    // "-platform NAME" and "-display NAME", as given; empty without.
    std::string platform;
    std::string display;
    // The program's name, then Qt's own options as given, relative paths made absolute against
    // the folder the launcher was started in: QApplication's command line.
    std::vector<std::string> arguments;
};

// Acts on the launcher's own command line before anything else, with no display needed:
// prints the help or the version on standard output (status 0), or a usage error and the usage
// on standard error (status 2), or makes the game folder it names the current folder; one that
// cannot be entered is a one-line error (status 2). Returns the status when the launcher ends
// here, nothing when it goes on to open its window, with qt set to what Qt is to be given.
std::optional<int> takeLauncherArguments(int argc, const char* const* argv, QtArguments& qt);

}  // namespace vantu

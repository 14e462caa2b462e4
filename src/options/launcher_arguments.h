#pragma once

#include <string>
#include <vector>

namespace vantu {

// What the launcher's own command line asks for.
struct LauncherArguments {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    // Run: the game's folder, as given; empty for the current folder.
    std::string folder;
    // Run: the platform the toolkit's "-platform NAME" asks for (the last one counts); empty
    // when none does.
    std::string platform;
    // Error: what is wrong, in one line, without the program's name.
    std::string error;
};

// The options of the toolkit under a front end, which the launcher leaves to it: the Qt build
// takes Qt's own (-platform NAME, -style NAME, -reverse, ...), the Windows build has none.
enum class ToolkitOptions { None, Qt };

// Reads the launcher's arguments (the program's name left out): "-h" or "--help", "--version",
// the toolkit's options, and at most one game folder ("--" ends the options, so that a folder
// may begin with a dash). The first help or version option wins over anything after it; any
// other argument that begins with a dash, a toolkit option without its value, an empty folder
// name or a second folder is an error.
LauncherArguments parseLauncherArguments(const std::vector<std::string>& args,
                                         ToolkitOptions toolkit);

// The usage and what the launcher does, in a few lines, each ending with a line end.
std::string launcherUsage(ToolkitOptions toolkit);

// The program's name and version, e.g. "vantu-launcher 1.0.0".
std::string launcherVersion();

}  // namespace vantu

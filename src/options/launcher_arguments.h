#pragma once

#include <string>
#include <vector>

namespace vantu {

// What the launcher's own command line asks for.
struct LauncherArguments {
    // Run opens the window; Play starts the game at once, without it ("--play").
    enum class Action { Run, Play, Help, Version, Error };
    Action action = Action::Run;
    // Run and Play: the game's folder, as given; empty for the current folder.
    std::string folder;
    // Run: the platform the toolkit's "-platform NAME" asks for, and the display its
    // "-display NAME" names (the last of each counts); empty when none does.
    std::string platform;
    std::string display;
    // Run: the toolkit's options as given, in their order, each value in place, and nothing
    // else: what the toolkit is handed. A relative path (a style sheet, an icon, a plugin
    // folder) is made absolute against the start folder, as the launcher enters the game folder
    // before the toolkit reads it.
    std::vector<std::string> toolkitArguments;
    // Error: what is wrong, in one line, without the program's name.
    std::string error;
};

// The options of the toolkit under a front end, which the launcher leaves to it: the Qt build
// takes Qt's own (-platform NAME, -style NAME, -reverse, ...), the Windows build has none.
enum class ToolkitOptions { None, Qt };

// Reads the launcher's arguments (the program's name left out): "-h" or "--help", "--version",
// "--play", the toolkit's options (with --play they are read and left unused, as the toolkit
// never starts), and at most one game folder ("--" ends the options, so that a folder
// may begin with a dash). The first help or version option wins over anything after it; any
// other argument that begins with a dash, a toolkit option without its value, an empty folder
// name or a second folder is an error. startFolder is the folder the launcher was started in.
LauncherArguments parseLauncherArguments(const std::vector<std::string>& args,
                                         ToolkitOptions toolkit,
                                         const std::string& startFolder = {});

// The usage and what the launcher does, in a few lines, each ending with a line end.
std::string launcherUsage(ToolkitOptions toolkit);

// The program's name and version, e.g. "vantu-launcher 1.0.0".
std::string launcherVersion();

}  // namespace vantu

#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantu {

// What the launcher's own command line asks for.
struct LauncherArguments {
    // Run opens the window; Play starts the game at once, without it ("--play").
    enum class Action { Run, Play, Help, Version, Error };
    Action action = Action::Run;
    // Run and Play: the game's folder, as given; empty for the current folder.
    std::string folder;
    // Run and Play (for its failure box): the platform the toolkit's "-platform NAME" asks
    // for, and the display its "-display NAME" names (the last of each counts); empty when none
    // does.
    std::string platform;
    std::string display;
    // Run and Play: the toolkit's options as given, in their order, each value in place, and
    // nothing else: what the toolkit is handed. A relative path (a style sheet, an icon, a plugin
    // folder) is made absolute against the start folder, as the launcher enters the game folder
    // before the toolkit reads it.
    std::vector<std::string> toolkitArguments;
    // Error: what is wrong, in one line, without the program's name.
    std::string error;
};

// One option of the toolkit under a front end, which the launcher hands to the toolkit.
struct ToolkitOption {
    // How it takes its value: none, the next argument, or also after "=".
    enum class Value : unsigned char { None, Next, NextOrAttached };
    // What of its value LauncherArguments keeps apart: the platform or the display asked for.
    enum class Kept : unsigned char { Nothing, Platform, Display };
    std::string_view name;  // without its dashes
    Value value = Value::None;
    bool path = false;  // the value names a file or folder
    Kept kept = Kept::Nothing;
};

// The options of the toolkit under a front end, which each front end names (the Qt build
// takes Qt's own: -platform NAME, -style NAME, -reverse, ...), and the line the usage says of
// them; the Windows build has none.
struct ToolkitOptions {
    std::span<const ToolkitOption> options;
    std::string_view usage;  // a line with its line end, or empty
};
inline constexpr ToolkitOptions kNoToolkitOptions{};

// Reads the launcher's arguments (the program's name left out): "-h" or "--help", "--version",
// "--play", the toolkit's options (with --play they are read and left unused, as the toolkit
// never starts), and at most one game folder ("--" ends the options, so that a folder
// may begin with a dash). The first help or version option wins over anything after it; any
// other argument that begins with a dash, a toolkit option without its value, an empty folder
// name or a second folder is an error. startFolder is the folder the launcher was started in.
LauncherArguments parseLauncherArguments(const std::vector<std::string>& args,
                                         const ToolkitOptions& toolkit,
                                         const std::string& startFolder = {});

// The usage and what the launcher does, in a few lines, each ending with a line end.
std::string launcherUsage(const ToolkitOptions& toolkit);

// The program's name and version, e.g. "vantu-launcher 1.0.0".
std::string launcherVersion();

// The exit status of a usage error and of a game folder that cannot be entered, on every
// system; the help and the version end with 0.
inline constexpr int kUsageErrorStatus = 2;

// Where a front end tells what the launcher's arguments lead to (a line on the console, or a
// box), and how its system enters the game folder.
class ArgumentsMedium {
  public:
    // The help or the version; the help ends with a line end, the version does not.
    virtual void inform(const std::string& text) = 0;
    // What is wrong, in one line without the program's name, then the usage when the arguments
    // themselves are wrong (else empty).
    virtual void complain(const std::string& problem, const std::string& usage) = 0;
    // Makes folder the current folder; gives the system's reason when it cannot.
    virtual std::optional<std::string> enterFolder(const std::string& folder) = 0;
    // What the help adds about this system, in lines with their line ends; none by default.
    virtual std::string_view systemUsage() const { return {}; }

  protected:
    ~ArgumentsMedium() = default;
};

// Reads the launcher's own arguments (as parseLauncherArguments) and acts on them before
// anything else, with no window: tells the help or the version (status 0) or a usage error
// (kUsageErrorStatus), the usage ending with the medium's systemUsage, else makes the game folder
// they name the current folder, one that cannot be entered being a failure of its own
// (kUsageErrorStatus). Returns the status when the launcher ends here, nothing when it goes on to
// open its window or to play without it, with arguments set to what was read.
std::optional<int> takeLauncherArguments(const std::vector<std::string>& args,
                                         const ToolkitOptions& toolkit,
                                         const std::string& startFolder, ArgumentsMedium& medium,
                                         LauncherArguments& arguments);

}  // namespace vantu

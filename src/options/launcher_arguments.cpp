#include "options/launcher_arguments.h"

#include <array>
#include <string_view>
#include <utility>

#ifndef VANTU_VERSION
#error "VANTU_VERSION (the project's version) must be defined by the build"
#endif

namespace vantu {
namespace {

// A path as the toolkit would read it from the start folder.
std::string fromStartFolder(const std::string& path, const std::string& startFolder) {
    if (path.empty() || path.front() == '/' || startFolder.empty())
        return path;
    return startFolder + (startFolder.back() == '/' ? "" : "/") + path;
}

LauncherArguments failure(std::string error) {
    LauncherArguments result;
    result.action = LauncherArguments::Action::Error;
    result.error = std::move(error);
    return result;
}

}  // namespace

LauncherArguments parseLauncherArguments(const std::vector<std::string>& args,
                                         const ToolkitOptions& toolkit,
                                         const std::string& startFolder) {
    LauncherArguments result;
    bool haveFolder = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg.front() != '-') {
            if (arg.empty())
                return failure("the game folder's name is empty");
            if (haveFolder)
                return failure("more than one game folder: '" + result.folder + "' and '" + arg +
                               "'");
            result.folder = arg;
            haveFolder = true;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            result.action = LauncherArguments::Action::Help;
            return result;
        } else if (arg == "--version") {
            result.action = LauncherArguments::Action::Version;
            return result;
        } else if (arg == "--play") {
            result.action = LauncherArguments::Action::Play;
        } else {
            // "-name", "--name", "-name=value" or "--name=value".
            const std::size_t equals = arg.find('=');
            const bool valueAttached = equals != std::string::npos;
            std::string_view name = std::string_view{arg}.substr(0, equals);
            name.remove_prefix(name.starts_with("--") ? 2 : 1);
            const ToolkitOption* option = nullptr;
            for (const ToolkitOption& o : toolkit.options) {
                if (o.name == name)
                    option = &o;
            }
            if (option == nullptr ||
                (valueAttached && option->value != ToolkitOption::Value::NextOrAttached))
                return failure("unknown option '" + arg + "'");
            if (option->value != ToolkitOption::Value::None && !valueAttached &&
                i + 1 == args.size())
                return failure("the option '" + arg + "' needs a value");
            if (option->value == ToolkitOption::Value::None) {
                result.toolkitArguments.push_back(arg);
                continue;
            }
            std::string value = valueAttached ? arg.substr(equals + 1) : args[++i];
            if (option->path)
                value = fromStartFolder(value, startFolder);
            if (option->kept == ToolkitOption::Kept::Platform)
                result.platform = value;
            else if (option->kept == ToolkitOption::Kept::Display)
                result.display = value;
            if (valueAttached) {
                result.toolkitArguments.push_back(arg.substr(0, equals + 1) + value);
            } else {
                result.toolkitArguments.push_back(arg);
                result.toolkitArguments.push_back(value);
            }
        }
    }
    return result;
}

std::string launcherUsage(const ToolkitOptions& toolkit) {
    std::string usage =
        "Usage: vantu-launcher [OPTION]... [GAME_FOLDER]\n"
        "Opens the launcher of Vantu2: Copper Winds for the game in GAME_FOLDER (the current\n"
        "folder when none is given): it reads the game's xconfig.dat, plays vantu2.wav, lets\n"
        "the player choose the video options and starts vantu.exe with them.\n"
        "\n"
        "      --play     start the game at once, with the options of its xconfig.dat, and\n"
        "                 open no window (in Steam's launch options: %command% --play)\n"
        "  -h, --help     print this help and end\n"
        "      --version  print the version and end\n";
    usage += toolkit.usage;
    return usage;
}

std::string launcherVersion() {
    return "vantu-launcher " VANTU_VERSION;
}

std::optional<int> takeLauncherArguments(const std::vector<std::string>& args,
                                         const ToolkitOptions& toolkit,
                                         const std::string& startFolder, ArgumentsMedium& medium,
                                         LauncherArguments& arguments) {
    arguments = parseLauncherArguments(args, toolkit, startFolder);
    switch (arguments.action) {
        case LauncherArguments::Action::Help:
            medium.inform(launcherUsage(toolkit).append(medium.systemUsage()));
            return 0;
        case LauncherArguments::Action::Version:
            medium.inform(launcherVersion());
            return 0;
        case LauncherArguments::Action::Error:
            medium.complain(arguments.error, launcherUsage(toolkit).append(medium.systemUsage()));
            return kUsageErrorStatus;
        case LauncherArguments::Action::Run:
        case LauncherArguments::Action::Play:
            break;
    }
    // Every file the launcher uses is named relative to the game folder, as when it is started
    // there.
    if (!arguments.folder.empty()) {
        if (const auto reason = medium.enterFolder(arguments.folder)) {
            medium.complain("cannot enter the game folder '" + arguments.folder + "': " + *reason,
                            {});
            return kUsageErrorStatus;
        }
    }
    return std::nullopt;
}

}  // namespace vantu

#include "options/launcher_arguments.h"

#include <array>
#include <string_view>
#include <utility>

#ifndef VANTU_VERSION
#error "VANTU_VERSION (the project's version) must be defined by the build"
#endif

namespace vantu {
namespace {

// How a toolkit option takes its value: none, the next argument, or also after "=".
enum class Value { None, Next, NextOrAttached };

struct ToolkitOption {
    std::string_view name;  // without its dashes
    Value value;
    bool path = false;  // the value names a file or folder
};

// The options that Qt 6 takes out of the command line before the program sees it: those of
// QGuiApplication, of QApplication and of its X11 platform, each with one dash or two.
constexpr std::array<ToolkitOption, 22> kQtOptions{{
    {"platform", Value::Next},
    {"platformpluginpath", Value::Next, true},
    {"platformtheme", Value::Next},
    {"plugin", Value::Next},
    {"qwindowgeometry", Value::Next},
    {"qwindowicon", Value::Next, true},
    {"qwindowtitle", Value::Next},
    {"reverse", Value::None},
    {"session", Value::NextOrAttached},
    {"testability", Value::None},
    {"style", Value::NextOrAttached},
    {"stylesheet", Value::NextOrAttached, true},
    {"widgetcount", Value::None},
    {"display", Value::Next},
    {"geometry", Value::Next},
    {"title", Value::Next},
    {"icon", Value::Next, true},
    {"name", Value::Next},
    {"visual", Value::Next},
    {"sync", Value::None},
    {"nograb", Value::None},
    {"dograb", Value::None},
}};

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
                                         ToolkitOptions toolkit, const std::string& startFolder) {
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
            if (toolkit == ToolkitOptions::Qt) {
                for (const ToolkitOption& o : kQtOptions) {
                    if (o.name == name)
                        option = &o;
                }
            }
            if (option == nullptr || (valueAttached && option->value != Value::NextOrAttached))
                return failure("unknown option '" + arg + "'");
            if (option->value != Value::None && !valueAttached && i + 1 == args.size())
                return failure("the option '" + arg + "' needs a value");
            if (option->value == Value::None) {
                result.toolkitArguments.push_back(arg);
                continue;
            }
            std::string value = valueAttached ? arg.substr(equals + 1) : args[++i];
            if (option->path)
                value = fromStartFolder(value, startFolder);
            if (option->name == "platform")
                result.platform = value;
            else if (option->name == "display")
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

std::string launcherUsage(ToolkitOptions toolkit) {
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
    if (toolkit == ToolkitOptions::Qt)
        usage += "Qt's own options (-platform NAME, -style NAME, ...) are passed on to Qt.\n";
    return usage;
}

std::string launcherVersion() {
    return "vantu-launcher " VANTU_VERSION;
}

}  // namespace vantu

#include "platform/linux/process_start.h"

#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include "options/command_line.h"
#include "ports/platform.h"

namespace vantu {
namespace {

namespace fs = std::filesystem;

// The program a Windows game runs through, and how a failure to start it names it.
struct Runner {
    fs::path file;
    std::string name;
};

// What a start executes, and the name the error messages use for it.
struct Command {
    std::string program;
    std::vector<std::string> argv;
    fs::path file;                 // the game's
    bool windows = false;          // the game is a Windows program
    std::optional<Runner> runner;  // what runs it, argv's first element

    void runWith(Runner through) {
        argv.insert(argv.begin(), through.file.string());
        runner = std::move(through);
    }
};

[[noreturn]] void fail(std::string_view program, int error) {
    throw StartError(std::string(program) + ": " + std::generic_category().message(error));
}

bool isRegularFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool isExecutable(const fs::path& path) {
    return ::access(path.c_str(), X_OK) == 0;
}

bool isWindowsExecutable(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    char magic[2] = {};
    return in.read(magic, 2) && magic[0] == 'M' && magic[1] == 'Z';
}

bool isDirectory(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// The interpreter that a script's first line names ("#!/bin/sh -e" names "/bin/sh"), or
// nothing when the file does not start with "#!".
std::optional<std::string> scriptInterpreter(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    char head[256] = {};
    in.read(head, sizeof head);
    const std::string_view line(head, static_cast<std::size_t>(in.gcount()));
    if (!line.starts_with("#!"))
        return std::nullopt;
    const std::size_t begin = line.find_first_not_of(" \t", 2);
    if (begin == std::string_view::npos)
        return std::nullopt;
    const std::size_t end = line.find_first_of(" \t\r\n", begin);
    if (end == std::string_view::npos && line.size() == sizeof head)
        return std::nullopt;  // longer than the kernel reads: not worth naming
    return std::string(line.substr(begin, end - begin));
}

// Turns the error of a failed start into the reason the player needs: a folder where the
// program should be, or a script whose interpreter is missing or cannot run (the kernel
// reports both as if the script itself were missing or locked).
[[noreturn]] void failStart(std::string_view program, const fs::path& file, int error) {
    if (isDirectory(file))
        fail(program, EISDIR);
    if (error == ENOENT || error == EACCES || error == ENOEXEC) {
        if (const std::optional<std::string> interpreter = scriptInterpreter(file)) {
            const fs::path path(*interpreter);
            int reason = 0;
            std::error_code ec;
            if (!fs::exists(path, ec))
                reason = ENOENT;
            else if (isDirectory(path))
                reason = EISDIR;
            else if (!isExecutable(path))
                reason = EACCES;
            if (reason != 0) {
                throw StartError(std::string(program) + ": bad interpreter " + *interpreter + ": " +
                                 std::generic_category().message(reason));
            }
        }
    }
    fail(program, error);
}

fs::path absolutePath(const fs::path& path) {
    std::error_code ec;
    fs::path result = fs::absolute(path, ec);
    return ec ? path : result;
}

// The first file called name in the folders of a PATH value, preferring one that may be
// executed; an empty entry stands for the current directory, as in execvp.
std::optional<fs::path> searchPath(std::string_view name, std::string_view pathValue,
                                   bool executableOnly) {
    std::optional<fs::path> firstFile;
    std::size_t begin = 0;
    while (true) {
        const std::size_t end = pathValue.find(':', begin);
        const std::string_view dir = pathValue.substr(begin, end - begin);
        const fs::path candidate = fs::path(dir.empty() ? "." : dir) / name;
        if (isRegularFile(candidate)) {
            if (isExecutable(candidate))
                return absolutePath(candidate);
            if (!executableOnly && !firstFile)
                firstFile = absolutePath(candidate);
        }
        if (end == std::string_view::npos)
            break;
        begin = end + 1;
    }
    return firstFile;
}

// A runner called name in the absolute folders of a PATH value. A relative folder ("." or an
// empty entry) would be read from the game folder, where nothing but the game is run.
std::optional<fs::path> searchRunner(std::string_view name, std::string_view pathValue) {
    std::string absoluteFolders;
    std::size_t begin = 0;
    while (begin <= pathValue.size()) {
        const std::size_t end = std::min(pathValue.find(':', begin), pathValue.size());
        const std::string_view dir = pathValue.substr(begin, end - begin);
        if (dir.starts_with('/'))
            absoluteFolders.append(absoluteFolders.empty() ? "" : ":").append(dir);
        begin = end + 1;
    }
    if (absoluteFolders.empty())
        return std::nullopt;
    return searchPath(name, absoluteFolders, true);
}

// The program that runs a Windows game, in the player's order: the one WINE names (a full path,
// or a name in PATH), else wine, else umu-run (Proton outside Steam), both from PATH. WINE set to
// something that cannot be found is a failure of its own rather than a silent fall back: the
// player asked for that program. Nothing when none is there.
std::optional<Runner> findRunner(std::string_view program, std::string_view pathValue,
                                 std::string_view wineValue) {
    if (!wineValue.empty()) {
        const std::string name = "WINE names '" + std::string(wineValue) + "'";
        const auto failure = [&](const char* why) {
            return StartError(std::string(program) + ": " + name + why);
        };
        if (wineValue.starts_with('/'))
            return Runner{fs::path(wineValue), name};
        if (wineValue.find('/') != std::string_view::npos)
            throw failure(", a relative path: give its full path or a name in PATH");
        if (auto found = searchRunner(wineValue, pathValue))
            return Runner{*found, name};
        throw failure(", which is not in PATH");
    }
    for (const std::string_view runner : {"wine", "umu-run"}) {
        if (auto found = searchRunner(runner, pathValue))
            return Runner{*found, found->string()};
    }
    return std::nullopt;
}

// The game folder is the current folder, which the launcher's start made it.
Command resolveCommand(std::string_view commandLine, std::string_view pathValue,
                       std::string_view wineValue) {
    std::vector<std::string> args = splitCommandLine(commandLine);
    if (args.empty() || args[0].empty())
        fail("", ENOENT);

    Command command;
    command.program = args[0];
    std::error_code ec;
    fs::path base = fs::current_path(ec);
    if (base.empty())
        base = ".";
    fs::path file;
    if (command.program.find('/') != std::string::npos || isRegularFile(base / command.program)) {
        file = absolutePath(base / command.program);
    } else if (auto found = searchPath(command.program, pathValue, false)) {
        file = *found;
    } else {
        // A folder of that name in the game folder is what the player will find there.
        fail(command.program, isDirectory(base / command.program) ? EISDIR : ENOENT);
    }

    command.argv = std::move(args);
    command.argv[0] = file.string();
    command.file = file;
    command.windows = isWindowsExecutable(file);
    // Without a runner the game is tried as it is: the system may know Windows programs.
    if (command.windows) {
        if (auto runner = findRunner(command.program, pathValue, wineValue))
            command.runWith(std::move(*runner));
    }
    return command;
}

// Starts argv in a new session, in the current folder, with default signal handling and nothing
// blocked. Returns 0 or the error of the failed set-up or exec.
int spawnDetached(const std::vector<std::string>& argv, pid_t& pid) {
    std::vector<char*> cargv;
    cargv.reserve(argv.size() + 1);
    for (const std::string& arg : argv)
        cargv.push_back(const_cast<char*>(arg.c_str()));
    cargv.push_back(nullptr);

    posix_spawnattr_t attr;
    if (const int error = posix_spawnattr_init(&attr); error != 0)
        return error;
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    int error = posix_spawnattr_setsigmask(&attr, &none);
    if (error == 0)
        error = posix_spawnattr_setsigdefault(&attr, &all);
    if (error == 0)
        error = posix_spawnattr_setflags(
            &attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    if (error == 0)
        error = posix_spawn(&pid, cargv[0], nullptr, &attr, cargv.data(), environ);

    posix_spawnattr_destroy(&attr);
    return error;
}

std::string_view currentPath() {
    const char* value = std::getenv("PATH");
    return value ? value : "/bin:/usr/bin";
}

// The runner the player chose; empty when WINE is unset or empty (as Wine's own scripts read
// it).
std::string_view currentWine() {
    const char* value = std::getenv("WINE");
    return value ? value : "";
}

}  // namespace

std::vector<std::string> ProcessStarter::resolve(std::string_view commandLine,
                                                 std::string_view pathValue,
                                                 std::string_view wineValue) const {
    return resolveCommand(commandLine, pathValue, wineValue).argv;
}

pid_t ProcessStarter::start(std::string_view commandLine) const {
    const std::string_view pathValue = currentPath();
    const std::string_view wineValue = currentWine();
    Command command = resolveCommand(commandLine, pathValue, wineValue);
    pid_t pid = -1;
    int error = spawnDetached(command.argv, pid);
    if (error == ENOEXEC && !command.runner) {
        // Not a format the kernel runs: a Windows program without the usual header, say.
        if (auto runner = findRunner(command.program, pathValue, wineValue)) {
            command.runWith(std::move(*runner));
            error = spawnDetached(command.argv, pid);
        }
    }
    if (error == 0)
        return pid;
    if (command.runner)
        failStart(command.program + ": " + command.runner->name, command.runner->file, error);
    if (command.windows) {
        throw StartError(command.program +
                         ": a Windows program, and nothing to run it: WINE is not set, and "
                         "neither wine nor umu-run is in PATH");
    }
    failStart(command.program, command.file, error);
}

}  // namespace vantu

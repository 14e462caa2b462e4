#include "platform/linux/process_start.h"

#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <system_error>

#include "options/command_line.h"
#include "ports/platform.h"

namespace vantu {
namespace {

namespace fs = std::filesystem;

// What a start executes, and the name the error messages use for it.
struct Command {
    std::string program;
    std::vector<std::string> argv;
    bool viaWine = false;
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
[[noreturn]] void failStart(std::string_view program, const fs::path& file, const fs::path& folder,
                            int error) {
    if (isDirectory(file))
        fail(program, EISDIR);
    if (error == ENOENT || error == EACCES || error == ENOEXEC) {
        if (const std::optional<std::string> interpreter = scriptInterpreter(file)) {
            const fs::path path = folder.empty() ? fs::path(*interpreter) : folder / *interpreter;
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

std::optional<fs::path> findWine(std::string_view pathValue) {
    return searchPath("wine", pathValue, true);
}

Command resolveCommand(std::string_view commandLine, const fs::path& folder,
                       std::string_view pathValue) {
    std::vector<std::string> args = splitCommandLine(commandLine);
    if (args.empty() || args[0].empty())
        fail("", ENOENT);

    Command command;
    command.program = args[0];
    std::error_code ec;
    fs::path base = folder.empty() ? fs::current_path(ec) : folder;
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
    if (isWindowsExecutable(file)) {
        if (auto wine = findWine(pathValue)) {
            command.argv.insert(command.argv.begin(), wine->string());
            command.viaWine = true;
        }
    }
    return command;
}

// Starts argv in a new session, in folder when it is not empty, with default signal handling
// and nothing blocked. Returns 0 or the error of the failed set-up or exec.
int spawnDetached(const std::vector<std::string>& argv, const fs::path& folder, pid_t& pid) {
    std::vector<char*> cargv;
    cargv.reserve(argv.size() + 1);
    for (const std::string& arg : argv)
        cargv.push_back(const_cast<char*>(arg.c_str()));
    cargv.push_back(nullptr);

    posix_spawnattr_t attr;
    if (const int error = posix_spawnattr_init(&attr); error != 0)
        return error;
    posix_spawn_file_actions_t actions;
    if (const int error = posix_spawn_file_actions_init(&actions); error != 0) {
        posix_spawnattr_destroy(&attr);
        return error;
    }
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
    if (error == 0 && !folder.empty())
        error = posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    if (error == 0)
        error = posix_spawn(&pid, cargv[0], &actions, &attr, cargv.data(), environ);

    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    return error;
}

std::string_view currentPath() {
    const char* value = std::getenv("PATH");
    return value ? value : "/bin:/usr/bin";
}

}  // namespace

ProcessStarter::ProcessStarter(std::filesystem::path gameFolder) : folder_(std::move(gameFolder)) {}

std::vector<std::string> ProcessStarter::resolve(std::string_view commandLine,
                                                 std::string_view pathValue) const {
    return resolveCommand(commandLine, folder_, pathValue).argv;
}

pid_t ProcessStarter::start(std::string_view commandLine) const {
    const std::string_view pathValue = currentPath();
    Command command = resolveCommand(commandLine, folder_, pathValue);
    const fs::path file = command.argv[command.viaWine ? 1 : 0];
    pid_t pid = -1;
    int error = spawnDetached(command.argv, folder_, pid);
    if (error == ENOEXEC && !command.viaWine) {
        // Not a format the kernel runs: a Windows program without the usual header, say.
        if (auto wine = findWine(pathValue)) {
            command.argv.insert(command.argv.begin(), wine->string());
            error = spawnDetached(command.argv, folder_, pid);
        }
    }
    if (error != 0)
        failStart(command.program, file, folder_, error);
    return pid;
}

}  // namespace vantu

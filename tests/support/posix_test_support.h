#pragma once

// What the POSIX tests share: files read by lines, the environment, standard error and child
// processes.
#include <fcntl.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantu::testing {

inline std::vector<std::string> readLines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Sets an environment variable for one scope and puts the old value back.
class EnvVar {
  public:
    EnvVar(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~EnvVar() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    EnvVar(const EnvVar&) = delete;
    EnvVar& operator=(const EnvVar&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

// Sends everything written to stderr (fd 2) to a file for one scope.
class StderrToFile {
  public:
    explicit StderrToFile(const std::filesystem::path& file) {
        std::fflush(stderr);
        saved_ = ::dup(2);
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, 2);
        ::close(fd);
    }
    ~StderrToFile() {
        std::fflush(stderr);
        ::dup2(saved_, 2);
        ::close(saved_);
    }
    StderrToFile(const StderrToFile&) = delete;
    StderrToFile& operator=(const StderrToFile&) = delete;

  private:
    int saved_ = -1;
};

struct ChildResult {
    int status = 0;      // the exit status, or 128 + the signal that ended it
    std::string output;  // standard output and error
};

// Makes the calling process root of a user namespace of its own, mapped to its own user and
// group, unless it is root already: what a test needs of root's powers over its own files (a
// mount, root's view of write bits) without being run by root. Returns false where the system
// allows no user namespace. Call it only in a child process (runInChild): it cannot be undone.
inline bool becomeRootOfOwnFiles() {
    if (::geteuid() == 0)
        return true;
    const std::string uid = std::to_string(::geteuid()), gid = std::to_string(::getegid());
    if (::unshare(CLONE_NEWUSER) != 0)
        return false;
    const auto write = [](const char* file, const std::string& text) {
        std::ofstream out(file);
        return static_cast<bool>(out << text << std::flush);
    };
    return write("/proc/self/setgroups", "deny") &&
           write("/proc/self/uid_map", "0 " + uid + " 1") &&
           write("/proc/self/gid_map", "0 " + gid + " 1");
}

// Runs body in a child process, which ends with body's result unless body ends it first.
inline ChildResult runInChild(const std::function<int()>& body) {
    int fds[2];
    if (::pipe(fds) != 0)
        return {-1, "no pipe"};
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        ::dup2(fds[1], 1);
        ::dup2(fds[1], 2);
        ::close(fds[1]);
        const int status = body();
        std::fflush(nullptr);
        ::_exit(status);
    }
    ::close(fds[1]);
    ChildResult result;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        result.output.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

}  // namespace vantu::testing

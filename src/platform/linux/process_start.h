#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vantu {

// Starts the game from its command line, detached from the launcher.
//
// The command line is split with the Windows C runtime's rules. A program name without '/' is
// looked up in the game folder first, then in each folder of PATH; a name with '/' is used as
// it is. A Windows executable (a file that starts with "MZ", or one the kernel refuses with
// ENOEXEC) is run through `wine` when wine is on PATH.
class ProcessStarter {
  public:
    // gameFolder is where the program is looked up first and where it runs; empty means the
    // current directory.
    explicit ProcessStarter(std::filesystem::path gameFolder = {});

    // The argument vector that start() would execute for the command line under the given
    // PATH value; its first element is the path of the file to execute. Throws StartError when
    // the program cannot be found.
    std::vector<std::string> resolve(std::string_view commandLine,
                                     std::string_view pathValue) const;

    // Starts the command line under the current PATH in a session of its own and returns its
    // process id without waiting for it. The launcher ends right after, so the child is reaped
    // by init; a caller that lives on may waitpid() for it. Throws StartError, whose what() is
    // "<program>: <reason>", when it cannot be started.
    pid_t start(std::string_view commandLine) const;

  private:
    std::filesystem::path folder_;
};

}  // namespace vantu

#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace vantu {

// Starts the game from its command line, detached from the launcher.
//
// The command line is split with the Windows C runtime's rules. The game folder is the current
// folder, where the game runs. A program name without '/' is looked up in the game folder first,
// then in each folder of PATH; a name with '/' is used as it is. A Windows executable (a file that
// starts with "MZ", or one the kernel refuses with ENOEXEC) is run through the player's runner,
// handed the game's full path and then its arguments: the program that WINE names (a full path, or
// a name looked up in PATH), else `wine`, else `umu-run` (Proton outside Steam). Runners are looked
// up in PATH's absolute folders only, and a relative path in WINE is refused: either would be read
// from the game folder, where nothing but the game is run. WINE naming nothing that runs is a
// failure of its own, not a fall back to the others. Without any runner, a Windows game is tried as
// it is.
class ProcessStarter {
  public:
    // The argument vector that start() would execute for the command line under the given
    // values of PATH and WINE (empty: unset); its first element is the path of the file to
    // execute. Throws StartError when the program or the runner WINE names cannot be found.
    std::vector<std::string> resolve(std::string_view commandLine, std::string_view pathValue,
                                     std::string_view wineValue = {}) const;

    // Starts the command line under the current PATH and WINE in a session of its own, with the
    // launcher's environment, and returns its process id without waiting for it. The launcher
    // ends right after, so the child is reaped by init; a caller that lives on may waitpid()
    // for it. Throws StartError, whose what() is "<program>: <reason>", when it cannot be
    // started; the reason names the runner when that is what failed, and what was looked for
    // when a Windows game has none.
    pid_t start(std::string_view commandLine) const;
};

}  // namespace vantu

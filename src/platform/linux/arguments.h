#pragma once

#include <optional>
#include <string>

namespace vantu {

// Acts on the launcher's own command line before anything else, with no display needed:
// prints the help or the version on standard output (status 0), or a usage error and the usage
// on standard error (status 2), or makes the game folder it names the current folder; one that
// cannot be entered is a one-line error (status 2). Returns the status when the launcher ends
// here, nothing when it goes on to open its window. Qt's own options are left in place for it;
// platform is set to what its "-platform NAME" asks for (empty without one).
std::optional<int> takeLauncherArguments(int argc, const char* const* argv, std::string& platform);

}  // namespace vantu

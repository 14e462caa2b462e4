#pragma once

#include <optional>

#include "options/launcher_arguments.h"

namespace vantu {

// Acts on the launcher's own command line before anything else, with no display needed:
// prints the help or the version on standard output (status 0), or a usage error and the usage
// on standard error (status 2), or makes the game folder it names the current folder; one that
// cannot be entered is a one-line error (status 2). Returns the status when the launcher ends
// here, nothing when it goes on to open its window or to play without it (--play), with
// arguments set to what was read: Qt's
// own options among them, relative paths made absolute against the folder the launcher was
// started in.
std::optional<int> takeLauncherArguments(int argc, const char* const* argv,
                                         LauncherArguments& arguments);

}  // namespace vantu

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "options/launcher_arguments.h"

namespace vantu {

// The launcher's arguments as the C runtime hands them, the program's name left out.
std::vector<std::string> launcherArguments(int argc, const char* const* argv);

// The current folder; empty when it has none (it was removed).
std::string currentFolder();

// The launcher's arguments told on the console: the help and the version on standard output, an
// error on standard error as "vantu-launcher: PROBLEM" followed by the usage, if any; the game
// folder entered with chdir.
class ConsoleArguments : public ArgumentsMedium {
  public:
    void inform(const std::string& text) override;
    void complain(const std::string& problem, const std::string& usage) override;
    std::optional<std::string> enterFolder(const std::string& folder) override;
    // How a player picks the program that runs a Windows game.
    std::string_view systemUsage() const override;
};

}  // namespace vantu

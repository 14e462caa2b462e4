#pragma once

#include <optional>
#include <string>
#include <vector>

#include "options/launcher_arguments.h"
#include "platform/windows/windows_platform.h"

namespace vantu {

// The launcher's arguments, read from the wide command line as UTF-8 whatever the system's code
// page, the program's name left out.
std::vector<std::string> launcherArguments();

// The launcher's arguments told in message boxes titled like the window: the help and the
// version in an information box, an error in the failure report's box; the game folder entered
// by its Unicode name.
class BoxArguments : public ArgumentsMedium {
  public:
    explicit BoxArguments(WindowsPlatform& platform) : platform_(platform) {}
    void inform(const std::string& text) override;
    void complain(const std::string& problem, const std::string& usage) override;
    std::optional<std::string> enterFolder(const std::string& folder) override;

  private:
    WindowsPlatform& platform_;
};

}  // namespace vantu

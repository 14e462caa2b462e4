#include "platform/linux/arguments.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace vantu {

namespace {

// The current folder; empty when it has none (it was removed).
std::string currentFolder() {
    std::vector<char> buffer(256);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return {};
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

}  // namespace

std::optional<int> takeLauncherArguments(int argc, const char* const* argv,
                                         LauncherArguments& arguments) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    arguments = parseLauncherArguments(args, ToolkitOptions::Qt, currentFolder());
    switch (arguments.action) {
        case LauncherArguments::Action::Help:
            std::fputs(launcherUsage(ToolkitOptions::Qt).c_str(), stdout);
            return 0;
        case LauncherArguments::Action::Version:
            std::printf("%s\n", launcherVersion().c_str());
            return 0;
        case LauncherArguments::Action::Error:
            std::fprintf(stderr, "vantu-launcher: %s\n%s", arguments.error.c_str(),
                         launcherUsage(ToolkitOptions::Qt).c_str());
            return 2;
        case LauncherArguments::Action::Run:
        case LauncherArguments::Action::Play:
            break;
    }
    // Every file the launcher uses is named relative to the game folder, as when it is started
    // there.
    if (!arguments.folder.empty() && chdir(arguments.folder.c_str()) != 0) {
        std::fprintf(stderr, "vantu-launcher: cannot enter the game folder '%s': %s\n",
                     arguments.folder.c_str(), std::strerror(errno));
        return 2;
    }
    return std::nullopt;
}

}  // namespace vantu

#include "platform/linux/arguments.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vantu {

std::vector<std::string> launcherArguments(int argc, const char* const* argv) {
    return {argv + (argc > 0 ? 1 : 0), argv + argc};
}

std::string currentFolder() {
    std::vector<char> buffer(256);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return {};
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

void ConsoleArguments::inform(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    if (text.empty() || text.back() != '\n')
        std::fputc('\n', stdout);
}

void ConsoleArguments::complain(const std::string& problem, const std::string& usage) {
    std::fprintf(stderr, "vantu-launcher: %s\n%s", problem.c_str(), usage.c_str());
}

std::optional<std::string> ConsoleArguments::enterFolder(const std::string& folder) {
    if (chdir(folder.c_str()) != 0)
        return std::string(std::strerror(errno));
    return std::nullopt;
}

std::string_view ConsoleArguments::systemUsage() const {
    return "\n"
           "A Windows vantu.exe is started through the program that the environment variable\n"
           "WINE names (a full path, or a name looked up in PATH), else through wine, else\n"
           "through umu-run (Proton outside Steam), both from PATH.\n";
}

}  // namespace vantu

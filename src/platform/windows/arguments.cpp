#include "platform/windows/arguments.h"

#include <windows.h>

#include "options/command_line.h"
#include "platform/windows/utf8.h"

namespace vantu {

std::vector<std::string> launcherArguments() {
    // The wide command line as UTF-8, split by the C runtime's rules (quotes, backslashes and
    // blanks are the same bytes in UTF-8), without loading shell32 for CommandLineToArgvW.
    std::vector<std::string> args = splitCommandLine(utf8(GetCommandLineW()));
    if (!args.empty())
        args.erase(args.begin());
    return args;
}

void BoxArguments::inform(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), platform_.reportTitle().c_str(), MB_OK | MB_ICONINFORMATION);
}

void BoxArguments::complain(const std::string& problem, const std::string& usage) {
    // UTF-8 text in the system's code page, for the box; what it cannot show becomes "?".
    platform_.showFailureBox(
        narrow(wide(usage.empty() ? problem : problem + "\n\n" + usage), CP_ACP));
}

std::optional<std::string> BoxArguments::enterFolder(const std::string& folder) {
    if (SetCurrentDirectoryW(wide(folder).c_str()) != 0)
        return std::nullopt;
    // The system's text is in its code page.
    return utf8(wide(systemErrorText(GetLastError()), CP_ACP));
}

}  // namespace vantu

#include "platform/windows/arguments.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "options/command_line.h"
#include "options/launcher_arguments.h"
#include "platform/windows/utf8.h"
#include "platform/windows/windows_platform.h"

namespace vantu {
namespace {

// UTF-8 text in the system's code page, for the report's box; what it cannot show becomes "?".
std::string ansi(const std::string& text) {
    return narrow(wide(text), CP_ACP);
}

}  // namespace

bool takeLauncherArguments(const std::string& title) {
    // The wide command line as UTF-8, split by the C runtime's rules (quotes, backslashes and
    // blanks are the same bytes in UTF-8), without loading shell32 for CommandLineToArgvW.
    std::vector<std::string> args = splitCommandLine(utf8(GetCommandLineW()));
    if (!args.empty())
        args.erase(args.begin());
    const LauncherArguments arguments = parseLauncherArguments(args, ToolkitOptions::None);
    switch (arguments.action) {
        case LauncherArguments::Action::Help:
        case LauncherArguments::Action::Version: {
            const std::string text = arguments.action == LauncherArguments::Action::Help
                                         ? launcherUsage(ToolkitOptions::None)
                                         : launcherVersion();
            MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
            ExitProcess(0);
        }
        case LauncherArguments::Action::Error:
            throw std::runtime_error(
                ansi(arguments.error + "\n\n" + launcherUsage(ToolkitOptions::None)));
        case LauncherArguments::Action::Run:
        case LauncherArguments::Action::Play:
            break;
    }
    // Every file the launcher uses is named relative to the game folder, as when it is started
    // there.
    if (!arguments.folder.empty() && SetCurrentDirectoryW(wide(arguments.folder).c_str()) == 0) {
        const DWORD error = GetLastError();
        throw std::runtime_error("cannot enter the game folder '" + ansi(arguments.folder) +
                                 "': " + systemErrorText(error));
    }
    return arguments.action == LauncherArguments::Action::Play;
}

}  // namespace vantu

#include "platform/windows/arguments.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "options/command_line.h"
#include "options/launcher_arguments.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_platform.h"

namespace vantu {

void takeLauncherArguments(const std::string& title) {
    // The wide command line as UTF-8, split by the C runtime's rules (quotes, backslashes and
    // blanks are the same bytes in UTF-8), without loading shell32 for CommandLineToArgvW.
    std::vector<std::string> args = splitCommandLine(narrowText(GetCommandLineW()));
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
            // In the system's code page, for the report's box.
            throw std::runtime_error(narrowText(
                wideText(arguments.error + "\n\n" + launcherUsage(ToolkitOptions::None)), CP_ACP));
        case LauncherArguments::Action::Run:
            break;
    }
    // Every file the launcher uses is named relative to the game folder, as when it is started
    // there.
    if (!arguments.folder.empty() &&
        SetCurrentDirectoryW(wideText(arguments.folder).c_str()) == 0) {
        const DWORD error = GetLastError();
        throw std::runtime_error("cannot enter the game folder '" +
                                 narrowText(wideText(arguments.folder), CP_ACP) +
                                 "': " + systemErrorText(error));
    }
}

}  // namespace vantu

#include "platform/windows/windows_platform.h"

#include <mmsystem.h>

#include <exception>
#include <string_view>
#include <utility>
#include <vector>

#include "options/command_line.h"
#include "platform/windows/system_library.h"
#include "platform/windows/windows_files.h"

namespace vantu {
namespace {

constexpr UINT kCrashExitCode = 3;

// The program a command line names, for the failure text: its first argument.
std::string programName(const std::string& commandLine) {
    const std::vector<std::string> arguments = splitCommandLine(commandLine);
    return arguments.empty() ? std::string("(no program)") : arguments.front();
}

LONG WINAPI endQuietly(EXCEPTION_POINTERS*) {
    TerminateProcess(GetCurrentProcess(), kCrashExitCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

[[noreturn]] void terminateQuietly() {
    TerminateProcess(GetCurrentProcess(), kCrashExitCode);
    ExitProcess(kCrashExitCode);
}

}  // namespace

std::string systemErrorText(DWORD error) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text;
    if (length != 0 && buffer != nullptr)
        text.assign(buffer, length);
    if (buffer != nullptr)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text.empty() ? "error " + std::to_string(error) : text;
}

bool isPlayableSoundFile(const std::string& name) {
    std::uint64_t size = 0;
    return openRegularFile(name, size).valid() && size <= kMaxSoundFileBytes;
}

void WindowsPlatform::startProcess(const std::string& commandLine, int showState) {
    // CreateProcessA may write into the command line, and stops at the first NUL: a line with
    // one inside would start something other than what it says.
    if (commandLine.find('\0') != std::string::npos)
        throw StartError(programName(commandLine) + ": the command line holds a NUL character.");
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showState);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        const DWORD error = GetLastError();
        throw StartError(programName(commandLine) + ": " + systemErrorText(error));
    }
    // The launcher keeps nothing of the game.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

void WindowsPlatform::endProcess() {
    ExitProcess(0);
}

void WindowsPlatform::playSound(const std::string& fileName) {
    if (!isPlayableSoundFile(fileName))
        return;
    // The multimedia library is loaded when the first sound plays, not with the program. In the
    // background, and never the system's default sound in place of the file.
    using SndPlaySound = BOOL(WINAPI*)(LPCSTR, UINT);
    static const auto play = systemFunction<SndPlaySound>("winmm.dll", "sndPlaySoundA");
    if (play != nullptr)
        static_cast<void>(play(fileName.c_str(), SND_ASYNC | SND_NODEFAULT));
}

void WindowsPlatform::reportUnhandledFailure(const std::string& message) {
    showFailureBox(message);
    ExitProcess(1);
}

void WindowsPlatform::showFailureBox(const std::string& message) {
    // A box of its own (--play: no window) would open wherever Windows puts a new window of a
    // background process, possibly behind the game client the launcher was started from, and go
    // unseen. It asks for the foreground, which Windows grants to a process started by the
    // foreground one; where Windows refuses (the player has gone on to another window), it still
    // stays above every window that is not topmost. A box owned by the window follows it.
    const UINT alone = owner_ == nullptr ? MB_SETFOREGROUND | MB_TOPMOST : 0;
    MessageBoxA(owner_, message.c_str(), reportTitle_.c_str(), MB_OK | MB_ICONERROR | alone);
}

void suppressCrashDialogs() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(endQuietly);
    std::set_terminate(terminateQuietly);
}

}  // namespace vantu

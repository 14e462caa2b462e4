// Stands in for the game vantu.exe in the end-to-end tests: records how it was started, then
// ends at once.
//
// The record goes into the folder that VANTU_STUB_RECORD names (a Unix or Windows path),
// never into the game folder, which the tests compare byte for byte:
//   command-line  the bytes of GetCommandLineA, exactly as received
//   startup       "flags=<STARTUPINFO.dwFlags>", "show=<wShowWindow>" and "cwd=<folder>" (in
//                 UTF-8, whatever the code page), one a line; written last, so its presence means
//                 the record is complete
//   started-again written instead when a record is already there (a second start)
// Each file is written beside its final name and then renamed, so a reader never sees half
// of one. Exit status 0 once recorded, 3 without VANTU_STUB_RECORD, 4 when writing failed.
#include <windows.h>

#include <string>

#include "wine_path.h"

namespace {

bool writeWhole(const std::string& path, const std::string& bytes) {
    const std::string part = path + ".part";
    HANDLE file = CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
        written == bytes.size();
    CloseHandle(file);
    return ok && MoveFileExA(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("VANTU_STUB_RECORD", value, sizeof value);
    if (length == 0 || length >= sizeof value)
        return 3;
    const std::string folder = windowsPath(value) + "\\";

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    wchar_t wideCwd[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, wideCwd);
    char cwd[4 * MAX_PATH] = {};
    WideCharToMultiByte(CP_UTF8, 0, wideCwd, -1, cwd, sizeof cwd, nullptr, nullptr);
    const std::string info = "flags=" + std::to_string(startup.dwFlags) + "\n" +
                             "show=" + std::to_string(startup.wShowWindow) + "\n" + "cwd=" + cwd +
                             "\n";

    if (exists(folder + "startup"))
        return writeWhole(folder + "started-again", info) ? 0 : 4;
    const bool ok = writeWhole(folder + "command-line", GetCommandLineA()) &&
                    writeWhole(folder + "startup", info);
    return ok ? 0 : 4;
}

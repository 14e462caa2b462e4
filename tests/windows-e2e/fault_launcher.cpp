// vantu-launcher.exe with one failure injected from outside its code, for the tests of failure
// reports. VANTU_FAULT names the failure:
//   list-unreadable   the display-mode list answers an impossible selection from the start, so
//                     the launcher fails while it builds its window
//   check-unreadable  "Use Shaders" answers an impossible state once the mouse went down on it,
//                     so the player's click on it fails
//   start-throws      starting the game fails with something that is not a std::exception
//   old-loader        the launcher sees the loader of Windows 7 and Vista without update
//                     KB2533623: kernel32 has no SetDefaultDllDirectories, and LoadLibraryEx
//                     refuses every LOAD_LIBRARY_SEARCH_* flag with ERROR_INVALID_PARAMETER
//   box-style         the launcher runs as WinMain runs it (also with --play), and its message
//                     boxes go through a stand-in that writes to box-style.txt in the current
//                     folder whether each asked for MB_SETFOREGROUND and MB_TOPMOST
//                     ("setforeground=1 topmost=0"), then shows the box as asked
// The controls are subclassed by a thread-local CBT hook as Windows creates them, and the older
// loader is the launcher's own imports of kernel32 pointed elsewhere; the launcher itself is the
// real one, started as WinMain starts it.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "frontend/win32/win32_launcher.h"
#include "platform/windows/system_library.h"
#include "platform/windows/windows_platform.h"
#include "window/layout.h"

namespace {

std::string fault;
WNDPROC listProc = nullptr;
WNDPROC checkProc = nullptr;
bool mouseWentDown = false;

LRESULT CALLBACK unreadableList(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == CB_GETCURSEL)
        return 42;
    return CallWindowProcA(listProc, window, message, wParam, lParam);
}

LRESULT CALLBACK unreadableCheck(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN)
        mouseWentDown = true;
    if (message == BM_GETCHECK && mouseWentDown)
        return 7;
    return CallWindowProcA(checkProc, window, message, wParam, lParam);
}

bool isClass(HWND window, const char* wanted) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpiA(name, wanted) == 0;
}

bool named(const char* text, const char* wanted) {
    return !IS_INTRESOURCE(text) && lstrcmpiA(text, wanted) == 0;
}

LRESULT CALLBACK onCreate(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA& create = *reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        const auto window = reinterpret_cast<HWND>(wParam);
        if (fault == "list-unreadable" && isClass(window, "ComboBox"))
            listProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(unreadableList)));
        if (fault == "check-unreadable" && isClass(window, "Button") &&
            named(create.lpszName, "Use Shaders"))
            checkProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(unreadableCheck)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The older loader, through the program's imports of kernel32.
decltype(&LoadLibraryExA) realLoadLibraryEx = nullptr;
decltype(&GetProcAddress) realGetProcAddress = nullptr;

HMODULE WINAPI oldLoadLibraryEx(LPCSTR name, HANDLE file, DWORD flags) {
    constexpr DWORD kSearchFlags = 0x1f00;  // LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR ... DEFAULT_DIRS
    if ((flags & kSearchFlags) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return realLoadLibraryEx(name, file, flags);
}

FARPROC WINAPI oldGetProcAddress(HMODULE module, LPCSTR name) {
    if (!IS_INTRESOURCE(name) && lstrcmpA(name, "SetDefaultDllDirectories") == 0) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return realGetProcAddress(module, name);
}

// Points every import of the program that is bound to `real` at `replacement`; false when none
// is (the test would then prove nothing).
template <class Function>
bool redirectImports(Function real, Function replacement) {
    bool found = false;
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* dll = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports);
         dll->Name != 0; ++dll) {
        for (auto* bound = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
             bound->u1.Function != 0; ++bound) {
            if (bound->u1.Function != reinterpret_cast<ULONG_PTR>(real))
                continue;
            DWORD protection = 0;
            VirtualProtect(bound, sizeof *bound, PAGE_READWRITE, &protection);
            bound->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(bound, sizeof *bound, protection, &protection);
            found = true;
        }
    }
    return found;
}

decltype(&MessageBoxA) realMessageBox = nullptr;

int WINAPI noteBoxStyle(HWND owner, LPCSTR text, LPCSTR title, UINT style) {
    const std::string asked = std::string("setforeground=") +
                              ((style & MB_SETFOREGROUND) != 0 ? "1" : "0") +
                              " topmost=" + ((style & MB_TOPMOST) != 0 ? "1" : "0");
    HANDLE file = CreateFileA("box-style.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, asked.data(), static_cast<DWORD>(asked.size()), &written, nullptr);
        CloseHandle(file);
    }
    return realMessageBox(owner, text, title, style);
}

class FaultPlatform : public vantu::WindowsPlatform {
  public:
    using WindowsPlatform::WindowsPlatform;
    void startProcess(const std::string& commandLine, int showState) override {
        if (fault == "start-throws")
            throw 42;
        WindowsPlatform::startProcess(commandLine, showState);
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    const char* name = std::getenv("VANTU_FAULT");
    fault = name != nullptr ? name : "";
    if (fault == "old-loader") {
        // Read from the imports before they move. Not constants: the compiler would then call
        // through the import itself, which leads back here.
        realLoadLibraryEx = &LoadLibraryExA;
        realGetProcAddress = &GetProcAddress;
        if (!redirectImports(realLoadLibraryEx, &oldLoadLibraryEx) ||
            !redirectImports(realGetProcAddress, &oldGetProcAddress))
            return 3;
    }
    if (fault == "box-style") {
        realMessageBox = &MessageBoxA;
        if (!redirectImports(realMessageBox, &noteBoxStyle))
            return 3;
        vantu::runLauncher(instance, showCommand);
    }
    vantu::limitDllSearchToSystemFolder();
    SetWindowsHookExA(WH_CBT, onCreate, nullptr, GetCurrentThreadId());
    FaultPlatform platform{std::string(vantu::layout::kForm.caption)};
    vantu::runWindow(instance, showCommand, platform);
}

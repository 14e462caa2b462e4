#include "platform/windows/system_library.h"

namespace vantu {
namespace {

using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);

// SetDefaultDllDirectories, or nullptr on Windows 7 and Vista without update KB2533623. That
// loader also refuses every LOAD_LIBRARY_SEARCH_* flag. kernel32 is loaded with every program,
// so it is looked at, never loaded.
SetDefaultDirectories setDefaultDirectories() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel != nullptr ? reinterpret_cast<SetDefaultDirectories>(reinterpret_cast<void (*)()>(
                                   GetProcAddress(kernel, "SetDefaultDllDirectories")))
                             : nullptr;
}

bool loaderTakesSearchFlags() {
    static const bool takes = setDefaultDirectories() != nullptr;
    return takes;
}

HMODULE loadFromSystemFolder(const char* dll) {
    if (loaderTakesSearchFlags())
        return LoadLibraryExA(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // The older loader. The common controls by name: the manifest's activation context takes
    // version 6 from the side-by-side store before any folder is searched (the system folder
    // holds version 5).
    if (lstrcmpiA(dll, "comctl32.dll") == 0)
        return LoadLibraryA(dll);
    // Any other by its full path; the altered search makes its own imports come from its folder,
    // the system folder, rather than the program's.
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenA(dll) >= MAX_PATH)
        return nullptr;
    path[length] = '\\';
    lstrcpyA(path + length + 1, dll);
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE systemModule(const char* dll) {
    // A DLL already loaded (kernel32, user32, or one loaded here before) is taken as it is, and
    // pinned: it stays loaded whoever loaded it, so the functions taken from it stay valid, and
    // asking again adds no reference.
    HMODULE module = nullptr;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, dll, &module))
        return module;
    return loadFromSystemFolder(dll);
}

}  // namespace

void limitDllSearchToSystemFolder() {
    if (auto set = setDefaultDirectories()) {
        static_cast<void>(set(LOAD_LIBRARY_SEARCH_SYSTEM32));
        return;
    }
    // The older loader searches the program's folder first for a DLL loaded by name, whoever
    // loads it. The current folder at least goes from the search.
    static_cast<void>(SetDllDirectoryA(""));
    // Windows loads the theme library by name when the first window is made, and the common
    // controls when they draw: loaded now from the system folder, it is found loaded then.
    static_cast<void>(loadSystemDll("uxtheme.dll"));
}

bool loadSystemDll(const char* dll) {
    return systemModule(dll) != nullptr;
}

void* systemFunctionAddress(const char* dll, const char* function) {
    HMODULE module = systemModule(dll);
    return module != nullptr ? reinterpret_cast<void*>(GetProcAddress(module, function)) : nullptr;
}

}  // namespace vantu

#include "platform/windows/system_library.h"

namespace vantu {

void limitDllSearchToSystemFolder() {
    // kernel32 is always loaded, and from the system folder.
    using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
    if (auto set =
            systemFunction<SetDefaultDirectories>("kernel32.dll", "SetDefaultDllDirectories"))
        static_cast<void>(set(LOAD_LIBRARY_SEARCH_SYSTEM32));
}

namespace {

HMODULE systemModule(const char* dll) {
    // A DLL already loaded is found by name; only the first load of one searches, and it
    // searches the system folder alone. The manifest's common controls 6 still apply: the
    // activation context picks the version before any folder is searched.
    return LoadLibraryExA(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

bool loadSystemDll(const char* dll) {
    return systemModule(dll) != nullptr;
}

void* systemFunctionAddress(const char* dll, const char* function) {
    HMODULE module = systemModule(dll);
    return module != nullptr ? reinterpret_cast<void*>(GetProcAddress(module, function)) : nullptr;
}

}  // namespace vantu

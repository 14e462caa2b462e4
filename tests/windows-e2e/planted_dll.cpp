// A DLL that a stranger plants in a game folder under the name of a system DLL: when it is
// loaded it leaves "<its path>.loaded" beside itself, and exports nothing. The tests plant it and
// check that the launcher never loads it.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH + 8] = {};
        const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            lstrcatA(path, ".loaded");
            HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
            if (marker != INVALID_HANDLE_VALUE)
                CloseHandle(marker);
        }
    }
    return TRUE;
}

#pragma once

#include <windows.h>

namespace vantu {

// Windows' own DLLs, used without importing them. The game's folder, where the launcher is run
// from, may be writable by every user: a DLL planted there must never be loaded in place of the
// system's. The program therefore imports only the DLLs that Windows always takes from its system
// folder (kernel32, user32, gdi32, msvcrt, ...), limits the DLL search to the system folder before
// anything else, and loads every other DLL here, from the system folder, when it is first needed.

// Limits the search for every DLL loaded from now on (and for their own imports) to the system
// folder. The first thing the program does. Windows 7 and Vista without update KB2533623 cannot
// do that: there the current folder leaves the search, the DLLs loaded here are taken by their
// full paths, and the theme library, which Windows loads by name with the first window, is
// loaded at once.
void limitDllSearchToSystemFolder();

// Loads a system DLL from the system folder, if it is not loaded yet; false when it is missing.
// Common controls 6 come from the side-by-side store as the manifest asks.
bool loadSystemDll(const char* dll);

// The address of a function of a system DLL, loading the DLL from the system folder on first use
// (it stays loaded), or nullptr when the DLL or the function is missing, as on an older Windows.
void* systemFunctionAddress(const char* dll, const char* function);

template <class Function>
Function systemFunction(const char* dll, const char* function) {
    // Through the generic function type, which converts to any other without a warning.
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(systemFunctionAddress(dll, function)));
}

}  // namespace vantu

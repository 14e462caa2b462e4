#pragma once

#include <windows.h>

#include <commctrl.h>
#include <uxtheme.h>

namespace vantu::win32 {

// The functions the window uses from the common controls (version 6, as the manifest asks) and
// the theme library. Neither DLL is imported: both are loaded from the system folder when the
// first window is made, and the standard classes are initialised then.
struct CommonControls {
    decltype(&SetWindowSubclass) setSubclass = nullptr;
    decltype(&RemoveWindowSubclass) removeSubclass = nullptr;
    decltype(&DefSubclassProc) defaultProc = nullptr;
    decltype(&SetWindowTheme) setTheme = nullptr;  // may be missing: the themes are cosmetic
};

// Throws std::runtime_error when the common controls cannot be loaded.
const CommonControls& commonControls();

}  // namespace vantu::win32

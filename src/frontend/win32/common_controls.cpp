#include "frontend/win32/common_controls.h"

#include <stdexcept>

#include "platform/windows/system_library.h"

namespace vantu::win32 {
namespace {

CommonControls load() {
    CommonControls f;
    using Init = decltype(&InitCommonControlsEx);
    const auto init = systemFunction<Init>("comctl32.dll", "InitCommonControlsEx");
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    if (init == nullptr || !init(&classes))
        return f;
    f.setSubclass = systemFunction<decltype(f.setSubclass)>("comctl32.dll", "SetWindowSubclass");
    f.removeSubclass =
        systemFunction<decltype(f.removeSubclass)>("comctl32.dll", "RemoveWindowSubclass");
    f.defaultProc = systemFunction<decltype(f.defaultProc)>("comctl32.dll", "DefSubclassProc");
    f.setTheme = systemFunction<decltype(f.setTheme)>("uxtheme.dll", "SetWindowTheme");
    // The theme library loads msimg32 late, when it first draws. Wine makes that late load
    // search the program's folder whatever the search was limited to, so it is loaded here,
    // from the system folder, and found loaded then.
    static_cast<void>(loadSystemDll("msimg32.dll"));
    return f;
}

}  // namespace

const CommonControls& commonControls() {
    static const CommonControls functions = load();
    if (functions.setSubclass == nullptr || functions.removeSubclass == nullptr ||
        functions.defaultProc == nullptr)
        throw std::runtime_error("cannot load the common controls (comctl32.dll)");
    return functions;
}

}  // namespace vantu::win32

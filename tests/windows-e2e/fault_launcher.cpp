// vantu-launcher.exe with one failure injected from outside its code, for the tests of failure
// reports. VANTU_FAULT names the failure:
//   list-unreadable   the display-mode list answers an impossible selection from the start, so
//                     the launcher fails while it builds its window
//   check-unreadable  "Use Shaders" answers an impossible state once the mouse went down on it,
//                     so the player's click on it fails
//   start-throws      starting the game fails with something that is not a std::exception
// The controls are subclassed by a thread-local CBT hook as Windows creates them; the launcher
// itself is the real one.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/windows/windows_platform.h"
#include "window/layout.h"
#include "window/win32/win32_launcher.h"

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
    SetWindowsHookExA(WH_CBT, onCreate, nullptr, GetCurrentThreadId());
    FaultPlatform platform{std::string(vantu::layout::kForm.caption)};
    vantu::runLauncher(instance, showCommand, platform);
}

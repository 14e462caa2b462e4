#include "frontend/win32/win32_launcher.h"

#include <functional>
#include <optional>
#include <string>

#include "frontend/win32/win32_controls.h"
#include "frontend/win32/win32_dpi.h"
#include "frontend/win32/win32_form.h"
#include "frontend/win32/win32_pad_window.h"
#include "platform/windows/arguments.h"
#include "platform/windows/system_library.h"
#include "platform/windows/xinput_pads.h"
#include "window/launcher_run.h"
#include "window/layout.h"

namespace vantu {

namespace {

// What Win32 does for the launcher's run: boxes for the arguments, the window, its controls,
// the pads and the message loop. Each part lives as long as the process.
class Win32Front final : public LauncherFront {
  public:
    Win32Front(HINSTANCE instance, int showCommand, WindowsPlatform& platform)
        : instance_(instance), showCommand_(showCommand), platform_(platform), boxes_(platform) {}

    const ToolkitOptions& toolkitOptions() const override { return kNoToolkitOptions; }
    ArgumentsMedium& argumentsMedium() override { return boxes_; }
    std::optional<int> startToolkit(const LauncherArguments&) override { return std::nullopt; }
    // The Windows platform reports every failure in its box already, --play's too.
    void offerFailureBox(const LauncherArguments&) override {}

    // While the window lives it owns the failure report's box.
    WidgetControls& makeWindow() override {
        window_.emplace(instance_);
        owner_.emplace(platform_, window_->window());
        controls_.emplace(*window_);
        return *controls_;
    }

    void show() override { window_->show(showCommand_); }

    // Gamepads, read through XInput on a timer of the window from its first tick on.
    void makePadWindow(Form1& form) override {
        pads_.emplace();
        padWindow_.emplace(*window_, form, *controls_, *pads_);
    }

    // The window has been shown and painted when the message queue first runs empty.
    void runLoop(const std::function<void()>& firstIdle) override {
        MSG message;
        bool idled = false;
        while (true) {
            if (!idled && PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) == 0) {
                idled = true;
                firstIdle();
            }
            if (GetMessageA(&message, nullptr, 0, 0) <= 0)
                break;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    void takeDown() override {
        padWindow_.reset();
        pads_.reset();
        controls_.reset();
        owner_.reset();
        window_.reset();
    }

  private:
    HINSTANCE instance_;
    int showCommand_;
    WindowsPlatform& platform_;
    BoxArguments boxes_;
    std::optional<Win32Form> window_;
    std::optional<WindowsPlatform::ReportOwner> owner_;
    std::optional<Win32Controls> controls_;
    std::optional<XInputPads> pads_;
    std::optional<Win32PadWindow> padWindow_;
};

}  // namespace

void runLauncher(HINSTANCE instance, int showCommand) {
    // Before any DLL is loaded: the game's folder, where the launcher runs, may hold DLLs
    // planted by anyone.
    limitDllSearchToSystemFolder();
    suppressCrashDialogs();
    enablePerMonitorDpiAwareness();
    WindowsPlatform platform{std::string(layout::kForm.caption)};
    Win32Front front(instance, showCommand, platform);
    ExitProcess(static_cast<UINT>(runLauncher(launcherArguments(), {}, front, platform)));
}

void runWindow(HINSTANCE instance, int showCommand, WindowsPlatform& platform) {
    Win32Front front(instance, showCommand, platform);
    ExitProcess(static_cast<UINT>(runWindow(front, platform)));
}

}  // namespace vantu

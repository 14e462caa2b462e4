#pragma once

#include <cstddef>

#include "frontend/win32/win32_controls.h"
#include "frontend/win32/win32_form.h"
#include "platform/windows/windows_platform.h"
#include "window/form1.h"

namespace vantu {

// Puts the Win32 window, its controls and the launcher's logic together: the controls raise
// their Click notifications into Form1, the player's clicks on check boxes and the list go to
// the controls, and every push button and "<<" run their handler through Form1::dispatch, as do
// the player's changes to the check boxes and the list.
class Win32Launcher : public Win32FormListener {
  public:
    Win32Launcher(Win32Form& window, Win32Controls& controls, Form1& form);
    ~Win32Launcher();
    Win32Launcher(const Win32Launcher&) = delete;
    Win32Launcher& operator=(const Win32Launcher&) = delete;

    void controlClicked(std::size_t control) override;
    void listSelectionChanged() override;

  private:
    Win32Form& window_;
    Win32Controls& controls_;
    Form1& form_;
};

// The Windows launcher: keeps DLLs out of the game's folder, keeps crash dialogs away, takes the
// monitors' DPI, then runs the launcher's run (window/launcher_run.h) over Win32 and the Windows
// services; its arguments are told in boxes, and with --play a game that cannot be started is
// reported in the same message box (status 1). Never returns.
[[noreturn]] void runLauncher(HINSTANCE instance, int showCommand);

// The window alone (the core's runWindow over Win32): builds it over the game's files in the
// current folder, loads the configuration, shows the window and handles its messages until the
// player closes it or starts the game, then ends the process. Every failure on the way, the window's building included, is reported in a
// message box and ends the process with status 1. Never returns.
[[noreturn]] void runWindow(HINSTANCE instance, int showCommand, WindowsPlatform& platform);

}  // namespace vantu

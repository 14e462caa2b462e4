#pragma once

#include <cstddef>

#include "window/form1.h"
#include "window/win32/win32_controls.h"
#include "window/win32/win32_form.h"

namespace vantu {

// Puts the Win32 window, its controls and the launcher's logic together: the controls raise
// their Click notifications into Form1, the player's clicks on check boxes and the list go to
// the controls, and every push button and "<<" run their handler through Form1::dispatch.
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

}  // namespace vantu

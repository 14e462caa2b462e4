#pragma once

#include <windows.h>

#include <array>
#include <cstddef>

#include "frontend/win32/win32_form.h"
#include "options/option_table.h"
#include "window/widget_controls.h"

namespace vantu {

// The launcher's controls over the windows of a Win32Form: the check boxes and the list hold the
// values, the hidden edit box shows the start of Text2, the window's frame gives the width.
// Neither BM_SETCHECK nor CB_SETCURSEL notifies anyone: WidgetControls raises the Click of a
// change the program makes, and the form reports the player's clicks here, which go on to the
// router (WidgetControls::playerClicked, playerChange).
class Win32Controls : public WidgetControls, private Win32FormListener {
  public:
    explicit Win32Controls(Win32Form& form);
    ~Win32Controls() override;
    Win32Controls(const Win32Controls&) = delete;
    Win32Controls& operator=(const Win32Controls&) = delete;

  protected:
    std::int16_t readCheck(CheckBox box) const override;
    void writeCheck(CheckBox box, std::int16_t value) override;
    std::int16_t readListIndex() const override;
    void writeListIndex(std::int16_t index) override;
    void text2Changed() override;
    int readOuterWidthPixels() const override;
    void writeOuterWidthPixels(int pixels) override;
    int pixelsPerInch() const override;

  private:
    // A click on a push button or "<<" goes to the router by the control's name; one on a check
    // box gives it the value a click gives and raises its Click.
    void controlClicked(std::size_t control) override;
    // Raises Combo1's Click if the selection is another one than before (choosing the selected
    // entry again is no change).
    void listSelectionChanged() override;
    HWND box(CheckBox box) const;

    Win32Form& form_;
    std::array<HWND, kCheckBoxCount> checks_{};
    HWND list_ = nullptr;
    HWND text2Box_ = nullptr;
    std::int16_t knownIndex_ = kNoSelection;
};

}  // namespace vantu

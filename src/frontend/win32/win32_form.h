#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "window/layout.h"

namespace vantu {

// What the window reports: a click on one of its controls (a push button, a check box or the
// label "<<"), by index in layout::kControls, and a new selection the player made in the list.
class Win32FormListener {
  public:
    virtual void controlClicked(std::size_t control) = 0;
    virtual void listSelectionChanged() = 0;

  protected:
    ~Win32FormListener() = default;
};

// The launcher window Form1 as a Win32 window built from the layout tables: a fixed dialog
// frame with only a close button, no taskbar button (it has a hidden owner), the background
// picture, Shape1 painted on the window itself behind every control, and the other controls
// as standard BUTTON, COMBOBOX, EDIT and STATIC windows in the layout's stacking order.
// Label2 belongs to Frame1 in the layout; here it is a sibling placed at the same spot, in front
// of the frame.
//
// The focus moves by the layout's tab index (Tab, Shift+Tab, and arrow keys on buttons and check
// boxes); Space or Enter presses the focused push button; no button is a default or cancel one.
// Positions, sizes and fonts follow the window's DPI.
//
// The focused control shows the focus ring (window/focus_ring.h) around it from the first key
// that moves the focus or pad button until a mouse click in the window (not at opening), painted
// by the window and, where the ring lies over another control (the label above the list; a
// neighbour when the system asks for a thick focus border), by that control after its own
// painting.
//
// Closing the window (WM_CLOSE) ends the message loop (WM_QUIT); the window stays until its
// owner destroys this object or the process ends.
//
// Each control's id is kFirstControlId plus its index in layout::kControls.
class Win32Form {
  public:
    static constexpr int kFirstControlId = 1001;
    static constexpr const char* kClassName = "VantuLauncherForm1";

    // Creates the window and its controls with their design values, hidden. Throws
    // std::runtime_error when Windows refuses to make them.
    explicit Win32Form(HINSTANCE instance);
    ~Win32Form();
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    HWND window() const { return window_; }
    // The control of that name, or nullptr (also for Shape1, which has no window of its own).
    HWND control(std::string_view name) const;
    HWND control(std::size_t index) const { return controls_[index]; }
    // The index in layout::kControls of a control window, or kControls.size().
    std::size_t indexOf(HWND control) const;

    void setListener(Win32FormListener* listener) { listener_ = listener; }

    // Shows the window and puts the focus on the first control in tab order.
    void show(int showCommand);

    // The window's dots per inch, and a length in twips in its pixels.
    UINT dpi() const { return dpi_; }
    int twipsToPixels(int twips) const;

    // The controls that take the focus, in tab order.
    const std::vector<std::size_t>& focusOrder() const { return focusOrder_; }
    // Moves the focus from the control that has it to the next (or previous) one in tab order.
    void moveFocus(bool forward);

    // The control around which the focus ring shows, as an index into layout::kControls, or
    // kControls.size() when none does.
    std::size_t focusRingControl() const;
    // Shows or hides the focus cues at once: the ring, and the system's own (the window's UI
    // state).
    void showFocusCues(bool shown);

  private:
    // Building, DPI and message routing (win32_form.cpp).
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void release();
    void createOwner(HINSTANCE instance);
    void createWindow(HINSTANCE instance);
    void createControls(HINSTANCE instance);
    void createFonts();
    HFONT fontOf(const layout::ControlDesign& design) const;
    // Lays the window out at another DPI: fonts, places and sizes.
    void applyDpi(UINT dpi);
    void placeList(HWND list, const layout::ControlDesign& design);
    void command(WPARAM wParam, LPARAM lParam);

    // Painting (win32_form_paint.cpp).
    void paint(HDC dc) const;
    LRESULT panelColours(HDC dc, HWND control);
    // The focus ring of the focused control, in a device context whose origin is at that point
    // of the client area.
    void paintFocusRing(HDC dc, POINT origin) const;
    std::optional<layout::Rect> focusRingBounds(std::size_t control) const;
    // What the ring around that control leaves alone, in client coordinates: every other visible
    // control that takes the focus, and the text of the visible labels and frames.
    std::vector<layout::Rect> ringKeepClear(std::size_t focused) const;
    // Repaints where the ring of that control is or was.
    void invalidateFocusRing(std::size_t control);
    // Each control also paints the part of the ring that lies over it.
    void paintRingOver(HWND control);
    static LRESULT CALLBACK ringOverProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR subclassId, DWORD_PTR self);

    // The keyboard (win32_form_keyboard.cpp).
    static LRESULT CALLBACK controlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR subclassId, DWORD_PTR self);
    void handleKeysOf(HWND control);
    bool handleControlKey(HWND control, UINT message, WPARAM wParam);
    bool handleWindowKey(WPARAM key);
    void activated(bool active);

    HWND owner_ = nullptr;
    HWND window_ = nullptr;
    std::array<HWND, layout::kControls.size()> controls_{};
    std::vector<std::size_t> focusOrder_;
    Win32FormListener* listener_ = nullptr;
    UINT dpi_ = 96;
    HFONT font_ = nullptr;
    HFONT boldFont_ = nullptr;
    HBITMAP picture_ = nullptr;
    HWND lastFocus_ = nullptr;
    bool cuesShown_ = false;
};

}  // namespace vantu

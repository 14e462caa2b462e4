#pragma once

#include <windows.h>

#include <string_view>

namespace vantu::win32 {

// Gives a control the accessible name the layout gives it, where Windows would say something
// else (a list is named by the text before it in creation order, a label by its caption): the
// control answers WM_GETOBJECT with the system's own accessible object for it, renamed. Its
// value stays the system's; where the system gives none and textIsValue (a list), it is the text
// the control shows. The accessibility library (oleacc) is loaded only when assistive technology
// first asks.
void nameForAccessibility(HWND control, std::string_view name, bool textIsValue);

// Ends what answering assistive technology started on this thread (COM, from its first
// question on). The window calls it once its controls are gone.
void endAccessibility();

}  // namespace vantu::win32

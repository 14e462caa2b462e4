#pragma once

#include <span>
#include <string>

#include "window/layout.h"

namespace vantu::layout {

// The window's title and sizes and the places of its own controls (not those inside a frame) as
// a bash script, which the test and benchmark scripts source from layout.sh in the build folder
// rather than write a title or a width again: MAIN_TITLE, the sizes as *_TWIPS variables and the
// associative array CONTROL_TWIPS of "left top width height" by control name. Lengths stay in
// twips; the scripts convert them at the DPI they run at. cmake/layout-shell.cmake writes it.
std::string layoutShell(const WindowDesign& form, std::span<const ControlDesign> controls);

}  // namespace vantu::layout

#pragma once

#include "options/launcher_arguments.h"

namespace vantu {

// The options that Qt 6 takes out of the command line before the program sees it, which the
// launcher leaves to Qt, and the usage's line about them.
extern const ToolkitOptions kQtOptions;

}  // namespace vantu

// Forbidden: the core includes no system header.
#include <windows.h>
#include "ports/controls.h"
#include <string>

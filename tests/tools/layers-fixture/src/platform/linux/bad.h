// Forbidden: the platform includes neither window/ nor Qt; SDL is allowed.
#include "window/form1.h"
#include <QApplication>
#include <SDL.h>
#include "options/launcher_arguments.h"

// Forbidden: the platform includes neither window/ nor frontend/ nor Qt; SDL is allowed.
#include "window/form1.h"
#include "frontend/qt/qt_form.h"
#include <QApplication>
#include <SDL.h>
#include "options/launcher_arguments.h"

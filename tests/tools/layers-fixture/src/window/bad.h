// Forbidden: the core includes no front end, nor a header without its folder.
#include "frontend/qt/qt_form.h"
#include "layout.h"
#include "window/layout.h"

#pragma once

#include <exception>
#include <utility>

#include "platform/platform.h"

namespace vantu {

class Form1;
class QtControls;
class QtForm;

// Runs one of the launcher's handlers. A failure that escapes it ends the launcher through the
// platform's report; nothing may unwind through Qt's event loop.
template <class Handler>
void runHandler(Platform& platform, Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& e) {
        platform.reportUnhandledFailure(e.what());
    } catch (...) {
        platform.reportUnhandledFailure("unknown failure");
    }
}

// Routes the controls' change notifications and the window's clicks ("Play", "Video Setup",
// the hidden "Save Config" / "Load Config" and "<<") to the launcher's logic.
void connectHandlers(QtForm& window, QtControls& controls, Form1& form, Platform& platform);

}  // namespace vantu

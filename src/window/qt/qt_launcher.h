#pragma once

namespace vantu {

class Form1;
class QtControls;
class QtForm;

// Routes the controls' change notifications and the window's clicks ("Play", "Video Setup",
// the hidden "Save Config" / "Load Config" and "<<") to the launcher's logic; every handler and
// every change the player makes to a check box or the list runs through Form1::dispatch.
void connectHandlers(QtForm& window, QtControls& controls, Form1& form);

}  // namespace vantu

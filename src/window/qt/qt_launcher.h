#pragma once

namespace vantu {

class Form1;
class QtControls;
class QtForm;

// The Linux launcher, the whole run: acts on its own command line (help, version, usage errors,
// the game folder, which becomes the current folder); with --play starts the game at once
// (playWithoutWindow) with neither a display nor Qt's platform, and reports a game that cannot
// be started on stderr (status 1). Otherwise checks for a display, starts Qt with Qt's
// own options, then builds the window over the game's files, loads the configuration, shows the
// window and runs the event loop until the player closes it or starts the game, and ends the
// process. Returns only the exit status of a launcher that ends before it opens its window.
// Every failure once Qt has started, the window's building included, is reported in a message
// box and ends the process with status 1.
int runLauncher(int argc, char* argv[]);

// Routes the controls' change notifications and the window's clicks ("Play", "Video Setup",
// the hidden "Save Config" / "Load Config" and "<<") to the launcher's logic; every handler and
// every change the player makes to a check box or the list runs through Form1::dispatch.
void connectHandlers(QtForm& window, QtControls& controls, Form1& form);

}  // namespace vantu

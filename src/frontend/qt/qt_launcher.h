#pragma once

namespace vantu {

// The Linux launcher: the launcher's run (window/launcher_run.h) over Qt and the Linux
// services. Its arguments are told on the console; --play needs neither a display nor Qt's
// platform, and reports a game that cannot be started on stderr, and where a display is at
// hand also in the message box that "Play" shows (status 1). Before the window, it checks for
// a display and starts Qt with Qt's own options. Returns only the exit status of a
// launcher that ends before it opens its window. Every failure once Qt has started, the window's
// building included, is reported in a message box and ends the process with status 1.
int runLauncher(int argc, char* argv[]);

}  // namespace vantu

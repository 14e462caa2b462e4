// The Linux launcher: the Qt window, its controls, the launcher's logic and the Linux services,
// put together by runLauncher.
#include "frontend/qt/qt_launcher.h"

int main(int argc, char* argv[]) {
    return vantu::runLauncher(argc, argv);
}
